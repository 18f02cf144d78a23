// serial_log_test.cpp — the hex trace of a port's traffic and when it is on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "camera/serial_log.h"
#include "support/temp_root.h"
#include "wire_fakes.h"

using namespace wiretest;

namespace {

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

TEST(SerialLog, TracesEveryOperationWithATimestamp) {
    testsupport::TempRoot root;
    const std::string log = root.file("serial.log");
    Wire wire;
    auto inner = std::make_unique<ScriptedPort>(&wire, "COM3");
    inner->answer("G:");
    {
        auto port = tracedSerialPort(std::move(inner), "COM3", log);
        const uint8_t request[] = {0x46, 0x3A, 0x01};
        EXPECT_EQ(port->write(request, 3), 3u);
        uint8_t reply[4] = {};
        EXPECT_EQ(port->read(reply, 4), 2u);
        EXPECT_EQ(reply[0], 'G');
        EXPECT_EQ(port->read(reply, 2), 0u);
        plat::LineSettings s;
        EXPECT_TRUE(port->getLineSettings(s));
        EXPECT_TRUE(port->setLineSettings({56000, 8, plat::Parity::Odd, plat::StopBits::Two}));
        EXPECT_TRUE(port->setQueueSizes(4096, 4096));
        EXPECT_TRUE(port->setTimeouts(3000, 3000));
        EXPECT_TRUE(port->purge());
    }
    const std::vector<std::string> got = lines(log);
    const std::vector<std::string> expected = {
        "COM3 open",
        "COM3 write 3/3 46 3A 01",
        "COM3 read 2/4 47 3A",
        "COM3 read 0/2",
        "COM3 get line 1200 7N1",
        "COM3 set line 56000 8O2",
        "COM3 queues 4096 4096",
        "COM3 timeouts 3000 3000",
        "COM3 purge",
        "COM3 close",
    };
    ASSERT_EQ(got.size(), expected.size());
    const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (.*)$)");
    for (size_t i = 0; i < got.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(got[i], m, stamp)) << got[i];
        EXPECT_EQ(m[1].str(), expected[i]);
    }
    // The traced port passes the operations through unchanged.
    EXPECT_EQ(wire.log[0], W(Bytes{0x46, 0x3A, 0x01}));
}

TEST(SerialLog, AppendsToAnExistingTrace) {
    testsupport::TempRoot root;
    root.write("serial.log", "earlier line\n");
    Wire wire;
    tracedSerialPort(std::make_unique<ScriptedPort>(&wire, "COM1"), "COM1",
                     root.file("serial.log"));
    const auto got = lines(root.file("serial.log"));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "earlier line");
}

TEST(SerialLog, OffUnlessTheVariableNamesAFile) {
    testsupport::TempRoot root;
    Wire wire;
    const char* saved = std::getenv("PXCM_SERIAL_LOG");
    const std::string keep = saved ? saved : "";

    unsetenv("PXCM_SERIAL_LOG");
    auto plain = std::make_unique<ScriptedPort>(&wire, "COM1");
    plat::SerialPort* raw = plain.get();
    EXPECT_EQ(withSerialLog(std::move(plain), "COM1").get(), raw);

    setenv("PXCM_SERIAL_LOG", "", 1);
    plain = std::make_unique<ScriptedPort>(&wire, "COM1");
    raw = plain.get();
    EXPECT_EQ(withSerialLog(std::move(plain), "COM1").get(), raw);

    setenv("PXCM_SERIAL_LOG", root.file("on.log").c_str(), 1);
    plain = std::make_unique<ScriptedPort>(&wire, "COM2");
    raw = plain.get();
    auto traced = withSerialLog(std::move(plain), "COM2");
    EXPECT_NE(traced.get(), raw);
    EXPECT_TRUE(root.exists("on.log"));
    EXPECT_FALSE(withSerialLog(nullptr, "COM3"));

    if (saved)
        setenv("PXCM_SERIAL_LOG", keep.c_str(), 1);
    else
        unsetenv("PXCM_SERIAL_LOG");
}

TEST(SerialLog, UnwritableTraceLeavesThePortUntraced) {
    Wire wire;
    auto plain = std::make_unique<ScriptedPort>(&wire, "COM1");
    plat::SerialPort* raw = plain.get();
    EXPECT_EQ(tracedSerialPort(std::move(plain), "COM1", "/nonexistent-dir/x/serial.log").get(),
              raw);
}

}  // namespace
