// profile_write_test.cpp — writing settings files: keys replaced in place,
// every other byte kept, sections and files created, atomic replacement.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/posix/ini_lines.h"
#include "platform/profile.h"
#include "support/temp_root.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

class ProfileWrite : public ::testing::Test {
protected:
    testsupport::TempRoot root;
    std::string ini = windowsDirectory() + "\\t.ini";

    void put(const std::string& content) const { root.write("windows/t.ini", content); }
    std::string text() const { return root.read("windows/t.ini"); }
    bool write(const char* section, const char* key, const char* value) const {
        return profileWriteString(section, key, value, ini.c_str());
    }
};

TEST_F(ProfileWrite, NewFileGetsSectionAndKeyWithCrlf) {
    ASSERT_TRUE(write("KMT-18", "SERIAL_SPEED", "19"));
    EXPECT_EQ(text(), "[KMT-18]\r\nSERIAL_SPEED=19\r\n");
    ASSERT_TRUE(write("ADF", "PendingImages", "0"));
    EXPECT_EQ(text(), "[KMT-18]\r\nSERIAL_SPEED=19\r\n[ADF]\r\nPendingImages=0\r\n");
    EXPECT_EQ(profileGetInt("kmt-18", "serial_speed", 15, ini.c_str()), 19u);
}

TEST_F(ProfileWrite, SeveralKeysOfASectionGoInAsOneChange) {
    put("[S]\r\nA=1\r\nB=2\r\n[T]\r\nA=9\r\n");
    const ProfileEntry entries[] = {{"A", "10"}, {"C", "30"}, {"B", nullptr}, {"a", "11"}};
    ASSERT_TRUE(profileWriteStrings("S", entries, 4, ini.c_str()));
    // In order: A replaced (twice), C added, B removed; section T untouched.
    EXPECT_EQ(text(), "[S]\r\nA=11\r\nC=30\r\n[T]\r\nA=9\r\n");
    // A new section with all its keys at once; nothing to write is no change.
    const ProfileEntry fresh[] = {{"X", "1"}, {"Y", "2"}};
    ASSERT_TRUE(profileWriteStrings("U", fresh, 2, ini.c_str()));
    EXPECT_EQ(text(), "[S]\r\nA=11\r\nC=30\r\n[T]\r\nA=9\r\n[U]\r\nX=1\r\nY=2\r\n");
    ASSERT_TRUE(profileWriteStrings("U", nullptr, 0, ini.c_str()));
    EXPECT_FALSE(profileWriteStrings(nullptr, fresh, 2, ini.c_str()));
    EXPECT_FALSE(profileWriteStrings("S", fresh, 2, "c:\\no\\such\\folder\\x.ini"));
}

TEST_F(ProfileWrite, ReplacesInPlaceAndKeepsEveryOtherLine) {
    const std::string before =
        "; settings of one source\r\n"
        "[ICAP_PIXELTYPE]\r\n"
        "Type = TWTY_UINT16\r\n"
        "  current = TWPT_RGB   \r\n"
        "; keep me\r\n"
        "Default=TWPT_RGB\r\n"
        "\r\n"
        "[ICAP_UNITS]\r\n"
        "Current=TWUN_INCHES\r\n";
    put(before);
    ASSERT_TRUE(write("icap_pixeltype", "Current", "TWPT_GRAY"));
    // The file's spelling of the key stays; nothing else moves.
    const std::string after =
        "; settings of one source\r\n"
        "[ICAP_PIXELTYPE]\r\n"
        "Type = TWTY_UINT16\r\n"
        "current=TWPT_GRAY\r\n"
        "; keep me\r\n"
        "Default=TWPT_RGB\r\n"
        "\r\n"
        "[ICAP_UNITS]\r\n"
        "Current=TWUN_INCHES\r\n";
    EXPECT_EQ(text(), after);
    // Writing the same value again changes nothing.
    ASSERT_TRUE(write("ICAP_PIXELTYPE", "current", "TWPT_GRAY"));
    EXPECT_EQ(text(), after);
}

TEST_F(ProfileWrite, NewKeyGoesAtTheEndOfItsSectionInTheFilesLineEnds) {
    put("[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(write("a", "z", "3"));
    EXPECT_EQ(text(), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    ASSERT_TRUE(write("B", "w", "4"));
    EXPECT_EQ(text(), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n");
    // A file without a final line end gets one before what is added.
    put("[A]\r\nx=1");
    ASSERT_TRUE(write("A", "y", "2"));
    EXPECT_EQ(text(), "[A]\r\nx=1\r\ny=2\r\n");
    ASSERT_TRUE(write("C", "k", "v"));
    EXPECT_EQ(text(), "[A]\r\nx=1\r\ny=2\r\n[C]\r\nk=v\r\n");
    put("[Empty]");
    ASSERT_TRUE(write("Empty", "k", "v"));
    EXPECT_EQ(text(), "[Empty]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, NullValueDeletesTheKeyAndNullKeyTheSection) {
    put("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nq=4\n");
    ASSERT_TRUE(write("A", "X", nullptr));
    EXPECT_EQ(text(), "[A]\ny=2\n[B]\nz=3\n[a]\nq=4\n");
    ASSERT_TRUE(write("A", nullptr, nullptr));
    EXPECT_EQ(text(), "[B]\nz=3\n");
    // Deleting what is not there changes nothing and creates no file.
    ASSERT_TRUE(write("B", "none", nullptr));
    EXPECT_EQ(text(), "[B]\nz=3\n");
    root.remove("windows/t.ini");
    EXPECT_TRUE(write("B", "z", nullptr));
    EXPECT_FALSE(root.exists("windows/t.ini"));
    EXPECT_FALSE(profileWriteString(nullptr, "k", "v", ini.c_str()));
}

TEST_F(ProfileWrite, MissingFolderFailsAndLeavesNothing) {
    EXPECT_FALSE(profileWriteString("S", "k", "v", "c:\\no\\such\\folder\\x.ini"));
    EXPECT_FALSE(root.exists("no"));
    EXPECT_FALSE(profileWriteString("S", "k", "v", "/"));
}

TEST_F(ProfileWrite, ReplacementIsAtomicAndKeepsModeAndLinks) {
    put("[S]\nk=0\n");
    const std::string native = root.file("windows/t.ini");
    ASSERT_EQ(::chmod(native.c_str(), 0640), 0);
    for (int i = 1; i <= 20; ++i) ASSERT_TRUE(write("S", "k", std::to_string(i).c_str()));
    EXPECT_EQ(text(), "[S]\nk=20\n");
    struct stat st;
    ASSERT_EQ(::stat(native.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing but the settings file is left beside it.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(root.windowsDir())) {
        ++entries;
        EXPECT_EQ(e.path().filename(), "t.ini");
    }
    EXPECT_EQ(entries, 1);

    // Through a symbolic link the target is rewritten and the link stays.
    root.write("real/target.ini", "[S]\nk=1\n");
    fs::create_symlink(root.file("real/target.ini"), root.file("windows/link.ini"));
    ASSERT_TRUE(profileWriteString("S", "k", "2", (windowsDirectory() + "\\link.ini").c_str()));
    EXPECT_TRUE(fs::is_symlink(root.file("windows/link.ini")));
    EXPECT_EQ(root.read("real/target.ini"), "[S]\nk=2\n");
}

TEST(IniEdit, KeepsByteOrderMarkAndLeadingLines) {
    EXPECT_EQ(ini::edit("\xEF\xBB\xBFtop=1\n[S]\nk=v\n", "", "new", "2"),
              "\xEF\xBB\xBFtop=1\nnew=2\n[S]\nk=v\n");
    EXPECT_EQ(ini::edit("\xEF\xBB\xBF[S]\nk=v\n[T]\n", "s", nullptr, nullptr), "\xEF\xBB\xBF[T]\n");
    EXPECT_EQ(ini::lineEndOf(""), "\r\n");
    EXPECT_EQ(ini::lineEndOf("a\nb\r\n"), "\n");
    EXPECT_EQ(ini::lineEndOf("a\r\nb\n"), "\r\n");
}

}  // namespace
