// files_test.cpp — Windows paths mapped onto POSIX, the well-known
// directories, and the small file operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "support/temp_root.h"

using namespace plat;

namespace {

// Sets or clears one environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(Paths, WindowsPathsMapUnderTheRoot) {
    EnvVar root("PXCM_ROOT", "/srv/pxcm/");
    EXPECT_EQ(nativePath("c:\\camds.log"), "/srv/pxcm/camds.log");
    EXPECT_EQ(nativePath("C:/a/b"), "/srv/pxcm/a/b");
    EXPECT_EQ(nativePath("d:\\dir\\file.jpg"), "/srv/pxcm/dir/file.jpg");
    EXPECT_EQ(nativePath("c:"), "/srv/pxcm");
    EXPECT_EQ(nativePath("c:twain.bmp"), "/srv/pxcm/twain.bmp");
    EXPECT_EQ(nativePath("\\PXCM.src"), "/srv/pxcm/PXCM.src");
    EXPECT_EQ(windowsDirectory(), "/srv/pxcm/windows");
    EXPECT_EQ(nativePath((windowsDirectory() + "\\pxcm.ini").c_str()),
              "/srv/pxcm/windows/pxcm.ini");
    EXPECT_EQ(nativePath("/tmp\\xfrimg.jpg"), "/tmp/xfrimg.jpg");
    EXPECT_EQ(nativePath("Help\\KMT18V16.HLP"), "Help/KMT18V16.HLP");
    EXPECT_EQ(nativePath(""), "");
    EXPECT_EQ(nativePath(nullptr), "");
}

TEST(Paths, RootDefaultsToTheUsersDataFolder) {
    EnvVar root("PXCM_ROOT", nullptr);
    {
        EnvVar data("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(windowsDirectory(), "/data/home/pxcm/windows");
        EXPECT_EQ(nativePath("c:\\x"), "/data/home/pxcm/x");
    }
    EnvVar data("XDG_DATA_HOME", nullptr);
    EnvVar home("HOME", "/home/someone");
    EXPECT_EQ(windowsDirectory(), "/home/someone/.local/share/pxcm/windows");
    EnvVar empty("PXCM_ROOT", "");
    EXPECT_EQ(windowsDirectory(), "/home/someone/.local/share/pxcm/windows");
}

TEST(Paths, TemporaryDirectoryEndsWithASeparator) {
    {
        EnvVar tmp("TMPDIR", "/var/scratch");
        EXPECT_EQ(tempDirectory(), "/var/scratch/");
    }
    {
        EnvVar tmp("TMPDIR", "/var/scratch/");
        EXPECT_EQ(tempDirectory(), "/var/scratch/");
    }
    EnvVar tmp("TMPDIR", nullptr);
    EXPECT_EQ(tempDirectory(), "/tmp/");
}

TEST(Paths, DriveNamesFindTheDisksSpellingOfEachName) {
    testsupport::TempRoot root;
    root.write("windows/PXCM.src", "x");
    EXPECT_EQ(nativePath("C:\\WINDOWS\\pxcm.SRC"), root.file("windows/PXCM.src"));
    EXPECT_EQ(nativePath("c:\\windows\\PXCM.src"), root.file("windows/PXCM.src"));
    // A name that is not there keeps its spelling; the folders found still fold.
    EXPECT_EQ(nativePath("C:\\Windows\\New.ini"), root.file("windows/New.ini"));
    EXPECT_EQ(nativePath("c:\\Missing\\Sub\\x"), root.file("Missing/Sub/x"));
    EXPECT_TRUE(fileExists("C:\\WINDOWS\\PXCM.SRC"));
    // POSIX paths are taken as they are.
    EXPECT_FALSE(fileExists((root.path() + "/WINDOWS/PXCM.src").c_str()));
}

TEST(Files, CreateExistDeleteAndReadHead) {
    testsupport::TempRoot root;
    EXPECT_FALSE(fileExists("c:\\camds.log"));
    ASSERT_TRUE(fileCreateEmpty("c:\\camds.log"));
    EXPECT_TRUE(root.exists("camds.log"));
    EXPECT_EQ(root.read("camds.log"), "");

    // An existing file counts as created and keeps its content.
    root.write("keep.txt", "content");
    EXPECT_TRUE(fileCreateEmpty("c:\\keep.txt"));
    EXPECT_EQ(root.read("keep.txt"), "content");

    char buf[16] = {};
    std::size_t got = 99;
    EXPECT_TRUE(fileReadHead("c:\\keep.txt", buf, 4, &got));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(buf, got), "cont");
    EXPECT_TRUE(fileReadHead("c:\\keep.txt", buf, sizeof buf, &got));
    EXPECT_EQ(std::string(buf, got), "content");
    EXPECT_FALSE(fileReadHead("c:\\missing.txt", buf, sizeof buf, &got));
    EXPECT_EQ(got, 0u);
    // A folder is not a file.
    EXPECT_FALSE(fileExists("c:\\windows"));
    EXPECT_FALSE(fileReadHead("c:\\windows", buf, sizeof buf, &got));
    EXPECT_FALSE(fileCreateEmpty("c:\\windows"));

    EXPECT_TRUE(fileDelete("c:\\camds.log"));
    EXPECT_FALSE(root.exists("camds.log"));
    EXPECT_FALSE(fileDelete("c:\\camds.log"));

    // Creation needs the folder; the empty path is nothing.
    EXPECT_FALSE(fileCreateEmpty("c:\\no\\such\\file"));
    EXPECT_FALSE(root.exists("no"));
    EXPECT_FALSE(fileCreateEmpty(""));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(fileDelete(""));
    EXPECT_FALSE(fileReadHead("", buf, sizeof buf, &got));
}

TEST(Files, OnlySmallRegularFilesAreSettingsFiles) {
    testsupport::TempRoot root;
    root.write("small.ini", "[S]\r\nk=v\r\n");
    root.write("limit.ini", std::string(SETTINGS_FILE_MAX, ';'));
    root.write("huge.ini", std::string(SETTINGS_FILE_MAX + 1, ';'));
    ASSERT_EQ(mkfifo(root.file("fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        bool settings;
    } cases[] = {
        {"c:\\small.ini", true}, {"c:\\limit.ini", true}, {"c:\\huge.ini", false},
        {"c:\\fifo", false},     {"c:\\windows", false},  {"c:\\missing.ini", false},
        {"/dev/null", false},    {"/dev/zero", false},    {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isSettingsFile(c.path.c_str()), c.settings) << c.path;

    // Reading the head of a FIFO or a device returns at once, with nothing.
    char buf[16];
    std::size_t got = 99;
    for (const char* path : {"c:\\fifo", "/dev/zero", "/dev/null"}) {
        EXPECT_FALSE(fileReadHead(path, buf, sizeof buf, &got)) << path;
        EXPECT_EQ(got, 0u) << path;
    }
}

TEST(Files, CopyIfMissingNeverReplaces) {
    testsupport::TempRoot root;
    std::string big(100000, 'x');
    for (std::size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('a' + i % 26);
    root.write("from/big.bin", big);
    root.write("from/small.txt", "new");
    root.write("to/small.txt", "old");

    // Into a folder that is not there yet, whole.
    EXPECT_TRUE(fileCopyIfMissing("c:\\from\\big.bin", "c:\\deep\\er\\big.bin"));
    EXPECT_EQ(root.read("deep/er/big.bin"), big);
    // Not over a file that exists, in any spelling of its name.
    EXPECT_FALSE(fileCopyIfMissing("c:\\from\\small.txt", "c:\\to\\small.txt"));
    EXPECT_FALSE(fileCopyIfMissing("c:\\from\\small.txt", "c:\\TO\\SMALL.TXT"));
    EXPECT_EQ(root.read("to/small.txt"), "old");
    // Nothing to copy, or a folder: nothing made.
    EXPECT_FALSE(fileCopyIfMissing("c:\\from\\missing", "c:\\to\\missing"));
    EXPECT_FALSE(root.exists("to/missing"));
    EXPECT_FALSE(fileCopyIfMissing("c:\\from", "c:\\to\\folder"));
    EXPECT_FALSE(root.exists("to/folder"));
    EXPECT_FALSE(fileCopyIfMissing("", "c:\\to\\x"));
    EXPECT_FALSE(fileCopyIfMissing("c:\\from\\small.txt", ""));
    // A POSIX path is taken as it is.
    EXPECT_TRUE(fileCopyIfMissing((root.path() + "/from/small.txt").c_str(), "c:\\to\\copy.txt"));
    EXPECT_EQ(root.read("to/copy.txt"), "new");
}

}  // namespace
