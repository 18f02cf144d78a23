// backend_config_test.cpp — pxcm.conf lines and the folders SANE searches.
#include "sane/backend_config.h"

#include <gtest/gtest.h>

namespace {

struct ConfigCase {
    const char* text;
    std::vector<std::string> devices;
    uint8_t speedCode;
    size_t problems;
};

TEST(BackendConfig, LinesGiveDevicesSpeedAndProblems) {
    const ConfigCase cases[] = {
        {"", {}, 15, 0},
        {"# only a comment\n\n   \n", {}, 15, 0},
        {"/dev/ttyUSB0\n/dev/ttyS0\n", {"/dev/ttyUSB0", "/dev/ttyS0"}, 15, 0},
        {"  /dev/ttyUSB1  \r\n\t# indented comment\n", {"/dev/ttyUSB1"}, 15, 0},
        {"speed 115200\n/dev/a\n", {"/dev/a"}, 7, 0},
        {"speed\t9600\n", {}, 92, 0},
        {"speed 19200\nspeed 56000\n", {}, 15, 0},
        // 57600 is not a rate of the camera's: the default stays.
        {"speed 57600\n/dev/a\n", {"/dev/a"}, 15, 1},
        {"speed\n", {}, 15, 1},
        {"speed fast\nspeed 7\n", {}, 15, 2},
        // A device whose name starts with the word is still a device.
        {"speedy\n", {"speedy"}, 15, 0},
        {"/dev/a\n/dev/a\n", {"/dev/a", "/dev/a"}, 15, 0},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.text);
        const BackendConfig config = parseBackendConfig(c.text);
        EXPECT_EQ(config.devices, c.devices);
        EXPECT_EQ(config.speedCode, c.speedCode);
        EXPECT_EQ(config.problems.size(), c.problems);
    }
}

TEST(BackendConfig, ProblemNamesItsLine) {
    const BackendConfig config = parseBackendConfig("/dev/a\n\nspeed 300\n");
    ASSERT_EQ(config.problems.size(), 1u);
    EXPECT_NE(config.problems[0].find("line 3"), std::string::npos) << config.problems[0];
    EXPECT_NE(config.problems[0].find("300"), std::string::npos) << config.problems[0];
}

TEST(BackendConfig, SearchPathFollowsSaneConfigDir) {
    struct {
        const char* env;
        std::vector<std::string> dirs;
    } cases[] = {
        {nullptr, {".", "/etc/sane.d"}},     {"", {".", "/etc/sane.d"}},
        {"/tmp/conf", {"/tmp/conf"}},        {"/a:/b", {"/a", "/b"}},
        {"/a:", {"/a", ".", "/etc/sane.d"}}, {"/a::/b", {"/a", "/b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env ? c.env : "(unset)");
        EXPECT_EQ(configSearchPath(c.env, "/etc/sane.d"), c.dirs);
    }
}

}  // namespace
