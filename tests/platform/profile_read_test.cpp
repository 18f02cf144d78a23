// profile_read_test.cpp — reading settings files as the Windows profile
// functions do: matching, defaults, trimming, numbers, lists, truncation.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "support/temp_root.h"

using namespace plat;

namespace {

class ProfileRead : public ::testing::Test {
protected:
    testsupport::TempRoot root;
    // The file as the source names it: Windows directory + "\t.ini".
    std::string ini = windowsDirectory() + "\\t.ini";

    void put(const std::string& content) const { root.write("windows/t.ini", content); }

    std::string get(const char* section, const char* key, const char* def = "DEF",
                    unsigned long size = 256) const {
        std::string buf(size + 8, '#');
        unsigned long n = profileGetString(section, key, def, buf.data(), size, ini.c_str());
        EXPECT_EQ(buf[n], '\0');
        return buf.substr(0, n);
    }

    // A double-NUL list as one string with '|' for each NUL, and its result.
    std::string list(unsigned long n, const std::string& buf) const {
        std::string out = buf.substr(0, n + 1);
        for (char& c : out)
            if (c == '\0') c = '|';
        return out;
    }
};

TEST_F(ProfileRead, SectionAndKeyNamesMatchWithoutRegardToCaseOrBlanks) {
    put("[KMT-18]\r\nSERIAL_SPEED=19\r\n[ICAP_PIXELTYPE]\r\n  Current  =  TWPT_RGB  \r\n");
    EXPECT_EQ(get("kmt-18", "serial_speed"), "19");
    EXPECT_EQ(get("Kmt-18", "Serial_Speed"), "19");
    EXPECT_EQ(get("icap_pixeltype", "current"), "TWPT_RGB");
    EXPECT_EQ(get(" ICAP_PIXELTYPE ", " CURRENT "), "TWPT_RGB");
    // A key of another section is not found.
    EXPECT_EQ(get("KMT-18", "Current"), "DEF");
}

TEST_F(ProfileRead, MissingFileSectionOrKeyGivesTheDefaultAndCreatesNothing) {
    EXPECT_EQ(get("S", "k", "NONE"), "NONE");
    EXPECT_EQ(profileGetInt("S", "k", 15, ini.c_str()), 15u);
    char buf[16] = "xx";
    EXPECT_EQ(profileGetSection("S", buf, sizeof buf, ini.c_str()), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(profileGetString("S", nullptr, "", buf, sizeof buf, ini.c_str()), 0u);
    EXPECT_FALSE(root.exists("windows/t.ini"));

    put("[S]\nk=v\nflag\n");
    EXPECT_EQ(get("T", "k", "NONE"), "NONE");
    EXPECT_EQ(get("S", "other", "NONE"), "NONE");
    // A line without '=' has no value: the default.
    EXPECT_EQ(get("S", "flag", "NONE"), "NONE");
    // No default reads as empty; trailing blanks of the default go.
    EXPECT_EQ(get("S", "other", nullptr), "");
    EXPECT_EQ(get("S", "other", "  ab  "), "  ab");
    EXPECT_EQ(get("S", "", "NONE"), "NONE");
}

TEST_F(ProfileRead, CrlfLfAndByteOrderMarkFilesReadAlike) {
    for (const char* text :
         {"[S]\r\na=1\r\nb = two words \r\n", "[S]\na=1\nb = two words \n",
          "\xEF\xBB\xBF[S]\na=1\nb = two words ", "\n\n[S]\r\n\r\na=1\r\nb=two words"}) {
        put(text);
        EXPECT_EQ(get("S", "a"), "1") << text;
        EXPECT_EQ(get("S", "b"), "two words") << text;
    }
}

TEST_F(ProfileRead, OnePairOfSurroundingQuotesIsRemoved) {
    put("[S]\nd=\"a "
        "b\"\ns='x'\nopen=\"abc\nmixed=\"abc'\ntwice=\"\"x\"\"\nempty=\"\"\ninner=a\"b\"c\n"
        "blanks=  \" padded \"  \n");
    EXPECT_EQ(get("S", "d"), "a b");
    EXPECT_EQ(get("S", "s"), "x");
    EXPECT_EQ(get("S", "open"), "\"abc");
    EXPECT_EQ(get("S", "mixed"), "\"abc'");
    EXPECT_EQ(get("S", "twice"), "\"x\"");
    EXPECT_EQ(get("S", "empty"), "");
    EXPECT_EQ(get("S", "inner"), "a\"b\"c");
    EXPECT_EQ(get("S", "blanks"), " padded ");
}

TEST_F(ProfileRead, FirstMatchingSectionAndKeyWin) {
    put("[S]\nk=first\nK=second\n[other]\nk=no\n[s]\nk=third\nonly=later\n");
    EXPECT_EQ(get("S", "k"), "first");
    // Only the first section of a name is searched.
    EXPECT_EQ(get("S", "only"), "DEF");
    // A '[' line without ']' is an ordinary line, not a header.
    put("[S]\n[broken\nk=v\n");
    EXPECT_EQ(get("S", "k"), "v");
    // Lines before the first header belong to the nameless section.
    put("top=1\n[S]\nk=v\n");
    EXPECT_EQ(get("", "top"), "1");
    EXPECT_EQ(get("S", "top"), "DEF");
}

TEST_F(ProfileRead, TextIsTruncatedToTheBuffer) {
    put("[S]\nk=abcdef\n");
    EXPECT_EQ(get("S", "k", "", 4), "abc");
    EXPECT_EQ(get("S", "k", "", 7), "abcdef");
    EXPECT_EQ(get("S", "k", "", 1), "");
    EXPECT_EQ(get("S", "missing", "NONE", 3), "NO");
    char untouched = 'x';
    EXPECT_EQ(profileGetString("S", "k", "", &untouched, 0, ini.c_str()), 0u);
    EXPECT_EQ(untouched, 'x');
}

TEST_F(ProfileRead, IntegersReadLikeWindows) {
    put("[N]\na=42\nb= 42abc\nc=-7\nd=+5\ne=abc\nf=\ng=\"12\"\nh=0x10\ni=-\nj=12 34\nk=007\n"
        "flag\n");
    auto num = [&](const char* key, int def = 99) {
        return profileGetInt("N", key, def, ini.c_str());
    };
    EXPECT_EQ(num("a"), 42u);
    EXPECT_EQ(num("b"), 42u);
    EXPECT_EQ(num("c"), static_cast<unsigned>(-7));
    EXPECT_EQ(num("d"), 5u);
    EXPECT_EQ(num("e"), 0u);   // no digits
    EXPECT_EQ(num("f"), 99u);  // empty value: as missing
    EXPECT_EQ(num("g"), 12u);  // quotes go first
    EXPECT_EQ(num("h"), 0u);   // decimal only
    EXPECT_EQ(num("i"), 0u);
    EXPECT_EQ(num("j"), 12u);
    EXPECT_EQ(num("k"), 7u);
    EXPECT_EQ(num("flag"), 99u);
    EXPECT_EQ(num("missing", -3), static_cast<unsigned>(-3));
    EXPECT_EQ(profileGetInt("other", "a", 15, ini.c_str()), 15u);
}

TEST_F(ProfileRead, SectionReadListsEveryLineWithItsValue) {
    put("[ICAP_PIXELTYPE]\r\n; a comment\r\nTWPT_BW = "
        "0\r\n\r\nTWPT_GRAY=1\r\nquoted=\"q\"\r\nlone\r\n"
        "[Next]\r\nx=1\r\n");
    std::string buf(64, '#');
    unsigned long n = profileGetSection("icap_pixeltype", buf.data(), 64, ini.c_str());
    EXPECT_EQ(list(n, buf), "TWPT_BW=0|TWPT_GRAY=1|quoted=\"q\"|lone||");
    EXPECT_EQ(n, 38u);

    // Too small: the last string is cut, two NULs end the list, size - 2.
    std::string small(20, '#');
    n = profileGetSection("ICAP_PIXELTYPE", small.data(), 14, ini.c_str());
    EXPECT_EQ(n, 12u);
    EXPECT_EQ(list(n, small), "TWPT_BW=0|TW|");
    EXPECT_EQ(small[13], '\0');
    EXPECT_EQ(small[14], '#');
    // Exactly big enough: the whole list.
    std::string exact(40, '#');
    n = profileGetSection("ICAP_PIXELTYPE", exact.data(), 39, ini.c_str());
    EXPECT_EQ(n, 38u);
    EXPECT_EQ(list(n, exact), "TWPT_BW=0|TWPT_GRAY=1|quoted=\"q\"|lone||");
    EXPECT_EQ(exact[39], '#');
    EXPECT_EQ(profileGetSection("Missing", exact.data(), 39, ini.c_str()), 0u);
    EXPECT_EQ(exact[0], '\0');
}

TEST_F(ProfileRead, NullKeyListsKeyNamesAndNullSectionListsSections) {
    put("[A]\nk1=1\n; note\nk2=2\nflag\n[B]\n[C]\nz=0\n");
    std::string buf(64, '#');
    unsigned long n = profileGetString("a", nullptr, "", buf.data(), 64, ini.c_str());
    EXPECT_EQ(list(n, buf), "k1|k2|flag||");
    n = profileGetString("A", nullptr, "", buf.data(), 6, ini.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(list(n, buf), "k1|k|");
    EXPECT_EQ(buf[5], '\0');
    n = profileGetString(nullptr, nullptr, "", buf.data(), 64, ini.c_str());
    EXPECT_EQ(list(n, buf), "A|B|C||");
}

TEST_F(ProfileRead, BareFileNameIsInTheWindowsDirectoryAndDriveCIsTheRoot) {
    put("[S]\nk=here\n");
    char buf[16];
    EXPECT_EQ(profileGetString("S", "k", "", buf, sizeof buf, "t.ini"), 4u);
    EXPECT_STREQ(buf, "here");
    EXPECT_EQ(profileGetString("S", "k", "", buf, sizeof buf, "C:\\WINDOWS\\t.ini"), 4u);
    root.write("camds.ini", "[S]\nk=root\n");
    EXPECT_EQ(profileGetString("S", "k", "", buf, sizeof buf, "c:\\camds.ini"), 4u);
    EXPECT_STREQ(buf, "root");
}

TEST_F(ProfileRead, EveryReadSeesTheFileAsItIsNow) {
    put("[S]\nk=1\n");
    EXPECT_EQ(profileGetInt("S", "k", 0, ini.c_str()), 1u);
    put("[S]\nk=2\n");
    EXPECT_EQ(profileGetInt("S", "k", 0, ini.c_str()), 2u);
    root.remove("windows/t.ini");
    EXPECT_EQ(profileGetInt("S", "k", 0, ini.c_str()), 0u);
}

TEST_F(ProfileRead, LargeFilesReadToTheEnd) {
    std::string text;
    for (int s = 0; s < 400; ++s) {
        text += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 8; ++k)
            text += "Key" + std::to_string(k) + "=value " + std::to_string(s) + "\r\n";
    }
    text += "[Last]\r\nk=end";
    ASSERT_GT(text.size(), 48u * 1024u);  // far past the stack buffer
    put(text);
    EXPECT_EQ(get("last", "K"), "end");
    EXPECT_EQ(get("Section399", "Key7"), "value 399");
}

TEST_F(ProfileRead, DirectoryOrEmptyNameIsNoFile) {
    char buf[8];
    EXPECT_EQ(profileGetString("S", "k", "d", buf, sizeof buf, root.path().c_str()), 1u);
    EXPECT_STREQ(buf, "d");
    EXPECT_EQ(profileGetInt("S", "k", 5, "c:\\no\\such\\dir\\x.ini"), 5u);
}

}  // namespace

namespace {

TEST_F(ProfileRead, SnapshotListsSectionsAsTheFileDidWhenItWasTaken) {
    put("; head\r\n[A]\r\nx=1\r\n;c=3\r\ny = \"two\" \r\n[B]\r\nz=9\r\n");
    ProfileSnapshot snapshot(ini.c_str());
    for (const char* section : {"A", "b", "missing"}) {
        std::string direct(64, '#'), snap(64, '#');
        unsigned long n = profileGetSection(section, direct.data(), 64, ini.c_str());
        unsigned long m = snapshot.getSection(section, snap.data(), 64);
        EXPECT_EQ(m, n) << section;
        EXPECT_EQ(list(m, snap), list(n, direct)) << section;
    }
    // A change on disk is seen by the next snapshot, not by this one.
    put("[A]\r\nx=5\r\n");
    std::string buf(64, '#');
    unsigned long n = snapshot.getSection("A", buf.data(), 64);
    EXPECT_EQ(list(n, buf), "x=1|y=\"two\"||") << "section lists keep quotes";
    n = ProfileSnapshot(ini.c_str()).getSection("A", buf.data(), 64);
    EXPECT_EQ(list(n, buf), "x=5||");
    // Truncation as the profile function does it.
    n = snapshot.getSection("A", buf.data(), 5);
    EXPECT_EQ(n, 3u);
}

TEST_F(ProfileRead, SnapshotOfAMissingFileHasNoSections) {
    ProfileSnapshot snapshot(ini.c_str());
    std::string buf(8, '#');
    EXPECT_EQ(snapshot.getSection("A", buf.data(), 8), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_FALSE(root.exists("windows/t.ini"));
}

}  // namespace
