// file_write_test.cpp — the reason a PNG write failed, and renames that
// replace an existing file only when asked to.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "platform/rename.h"

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Through a link of the test's own, so that no failure path can touch the
// device itself; the device stays whatever the writer does.
TEST(PngWrite, FullDiskSaysWhy) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    char folder[] = "/tmp/pxcm-full-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string link = std::string(folder) + "/picture.png";
    ASSERT_EQ(symlink("/dev/full", link.c_str()), 0);
    std::vector<std::uint8_t> pixels(64 * 64 * 3, 0x5a);
    std::string error;
    EXPECT_FALSE(plat::writePng(link, 64, 64, pixels.data(), 64 * 3, false, &error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_EQ(access("/dev/full", W_OK), 0) << "the device is still there";
    std::remove(link.c_str());
    rmdir(folder);
}

TEST(RenameFile, ReplacesOnlyWhenAsked) {
    char folder[] = "/tmp/pxcm-rename-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string from = std::string(folder) + "/new", to = std::string(folder) + "/old";
    struct Case {
        bool targetExists;
        bool replace;
        plat::RenameResult result;
        const char* targetAfter;
    };
    const Case cases[] = {
        {false, false, plat::RenameResult::Done, "new"},
        {true, false, plat::RenameResult::Exists, "old"},
        {true, true, plat::RenameResult::Done, "new"},
    };
    for (const Case& c : cases) {
        put(from, "new");
        std::remove(to.c_str());
        if (c.targetExists) put(to, "old");
        std::string error;
        EXPECT_EQ(plat::renameFile(from, to, c.replace, &error), c.result) << error;
        EXPECT_EQ(slurp(to), c.targetAfter);
    }
    std::remove(from.c_str());
    std::remove(to.c_str());
    rmdir(folder);
}

}  // namespace
