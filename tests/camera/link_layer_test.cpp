// link_layer_test.cpp — opening a port, line speeds, the handshake and its
// questions, and the scan of COM1 to COM8, byte for byte.
#include <gtest/gtest.h>

#include "camera/camera_link.h"
#include "wire_fakes.h"

using namespace wiretest;

namespace {

class LinkLayer : public LinkFixture {};

// What an open sends before its handshake: the line format, then the stop
// bytes at the download rate that end a transfer the camera may still be in.
std::vector<std::string> openLog(uint32_t downloadBaud = 56000) {
    return {"get",   setLine(9600), "get", setLine(downloadBaud), "purge", W(0xFF),
            W(0xFF), sleepMs(100),  "get", setLine(9600),         "purge"};
}

TEST_F(LinkLayer, OpenSetsTheLineFormatAndEndsATransferAtTheDownloadRate) {
    struct Case {
        uint8_t speedCode;
        uint32_t downloadBaud;  // of the stop bytes
    };
    // Before any speed is chosen, the default one.
    for (const Case& c : {Case{0, 56000}, Case{SPEED_56000, 56000}, Case{SPEED_115200, 115200}}) {
        SCOPED_TRACE(int(c.speedCode));
        link.closePort();
        wire.log.clear();
        link.setLineOptions({c.speedCode, 1});
        ScriptedPort& com2 = offer("COM2");
        com2.answer("G:");
        com2.answer(statusReply(3, 1));
        ASSERT_EQ(link.openCamera("COM2", &reporter), LINK_OK);
        std::vector<std::string> expected = openLog(c.downloadBaud);
        append(expected, handshakeLog());
        append(expected, {W('P'), W(':'), R(12, 12), sleepMs(300)});
        expectTranscript(wire.log, expected);
        EXPECT_EQ(com2.settings,
                  (plat::LineSettings{9600, 8, plat::Parity::Odd, plat::StopBits::Two}));
        EXPECT_EQ(link.lineSettings(), com2.settings);
        EXPECT_EQ(link.port(), &com2);
        EXPECT_EQ(link.status().pictureCount, 3);
        EXPECT_EQ(link.foundPort(), 0);  // no scan found it
    }
}

TEST_F(LinkLayer, OpenKeepsAPortWhoseSettingsCannotBeReadOrSet) {
    for (bool failGet : {true, false}) {
        ScriptedPort& com1 = offer("COM1");
        com1.failGet = failGet;
        com1.failSet = !failGet;
        com1.answer("G:");
        com1.answer(statusReply(1, 1));
        EXPECT_EQ(link.openCamera("COM1", nullptr), LINK_OK) << failGet;
        EXPECT_EQ(link.port(), &com1);
    }
}

TEST_F(LinkLayer, OpenTellsABusyPortFromAMissingOneAndFromASilentOne) {
    struct Case {
        const char* name;
        bool offered;
        bool busy;
        LinkResult result;
    };
    const Case cases[] = {
        {"COM4", false, true, LINK_BUSY},
        {"/dev/ttyUSB7", false, false, LINK_NO_PORT},
        {"COM5", true, false, LINK_BAD_REPLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        busyPorts.clear();
        if (c.busy) busyPorts.insert(c.name);
        if (c.offered) offer(c.name);
        EXPECT_EQ(link.openCamera(c.name, &reporter), c.result);
        EXPECT_FALSE(link.port());
    }
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(LinkLayer, ScanIsBusyOnlyWhenNoCameraAnswersAndAPortWasHeld) {
    std::vector<std::string> asked;
    link.setPortFactory(
        [&](const std::string& name, bool& busy) -> std::unique_ptr<plat::SerialPort> {
            asked.push_back(name);
            busy = busyPorts.count(name) != 0;
            auto it = ports.find(name);
            return it == ports.end() ? nullptr : std::move(it->second);
        });
    busyPorts = {"COM2"};
    EXPECT_EQ(link.findCamera(&reporter), LINK_BUSY);
    EXPECT_EQ(asked, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
                                               "COM7", "COM8"}));
    ScriptedPort& com6 = offer("COM6");
    com6.answer("G:");
    com6.answer(statusReply(1, 1));
    EXPECT_EQ(link.findCamera(&reporter), LINK_OK);
    EXPECT_EQ(link.foundPort(), 6);
    busyPorts.clear();
    EXPECT_EQ(link.findCamera(&reporter), LINK_BAD_REPLY);
}

TEST_F(LinkLayer, SpeedCodesSwitchOnlyTheRateAndPurge) {
    struct Case {
        uint8_t code;
        uint32_t baud;
    };
    // 46 is never offered by the window but still switches; 20 is unknown.
    const Case cases[] = {{7, 115200}, {15, 56000}, {46, 19200}, {92, 9600}, {20, 1200}};
    for (const Case& c : cases) {
        wire.log.clear();
        ScriptedPort& p = attach();
        p.settings = {1200, 8, plat::Parity::Odd, plat::StopBits::Two};
        EXPECT_EQ(link.setLineSpeed(c.code), LINK_OK);
        expectTranscript(wire.log, {"get", setLine(c.baud), "purge"});
        EXPECT_EQ(p.settings.baudRate, c.baud) << int(c.code);
        EXPECT_EQ(p.settings.dataBits, 8);
    }
}

TEST_F(LinkLayer, HandshakeAnsweredAtOnce) {
    attach().answer("G:");
    EXPECT_TRUE(link.handshake());
    expectTranscript(wire.log, handshakeLog());
    EXPECT_EQ(link.command(), 0x00);
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(LinkLayer, HandshakeAnsweredAtTheSeventhTryAsksNobody) {
    ScriptedPort& p = attach();
    p.silence(6);
    p.answer("G:");
    EXPECT_TRUE(link.handshake());
    expectTranscript(wire.log, handshakeLog(7));
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(LinkLayer, HandshakeNeedsBothBytesOfThisTry) {
    ScriptedPort& p = attach();
    // "G:" left in the reply buffer by an earlier try must not pass for a
    // reply of one byte.
    p.answer("G:");
    ASSERT_TRUE(link.handshake());
    wire.log.clear();
    p.answer("G");
    p.answer("S:");
    p.answer("G:");
    EXPECT_TRUE(link.handshake());
    expectTranscript(wire.log, {timeouts(1), "purge", W(0), R(2, 1), "purge", W(0), R(2, 2),
                                "purge", W(0), R(2, 2)});
}

TEST_F(LinkLayer, SilentCameraAsksAfterSevenTriesAndRetryGivesSixMore) {
    attach();  // silent throughout
    reporter.answers = {ReportAnswer::Retry, ReportAnswer::Cancel};
    EXPECT_FALSE(link.handshake());
    EXPECT_EQ(reporter.asked, (std::vector<LinkResult>{LINK_NO_ANSWER, LINK_NO_ANSWER}));
    std::vector<std::string> expected = handshakeLog(13, false);
    expectTranscript(wire.log, expected);
}

TEST_F(LinkLayer, AnswerAfterARetryQuestionSucceeds) {
    ScriptedPort& p = attach();
    reporter.answers = {ReportAnswer::Retry};
    p.silence(9);
    p.answer("G:");
    EXPECT_TRUE(link.handshake());
    EXPECT_EQ(reporter.asked.size(), 1u);
    expectTranscript(wire.log, handshakeLog(10));
}

TEST_F(LinkLayer, AnOkAnswerEndsTheHandshake) {
    attach();
    reporter.answers = {ReportAnswer::Ok};
    EXPECT_FALSE(link.handshake());
    EXPECT_EQ(reporter.asked.size(), 1u);
    expectTranscript(wire.log, handshakeLog(7, false));
}

TEST_F(LinkLayer, WithoutAReporterTheHandshakeEndsAfterSevenTries) {
    attach();
    link.setReporter(nullptr);
    EXPECT_FALSE(link.handshake());
    expectTranscript(wire.log, handshakeLog(7, false));
}

TEST_F(LinkLayer, WithoutAPortEveryRequestEndsWithoutAnswer) {
    // Before any scan: no port, no reporter.
    EXPECT_EQ(link.requestStatus(), LINK_NO_ANSWER);
    EXPECT_EQ(link.downloadPicture(0, nullptr), LINK_NO_ANSWER);
    EXPECT_EQ(link.readFirmwareVersion(), LINK_NO_ANSWER);
    EXPECT_TRUE(wire.log.empty());
}

// --- The scan ---------------------------------------------------------------

TEST_F(LinkLayer, ScanSkipsAbsentPortTriesSilentOneOnceAndStaysOnTheCamera) {
    // COM1 absent, COM2 present but silent, COM3 the camera.
    offer("COM2");
    ScriptedPort& com3 = offer("COM3");
    com3.answer("G:");
    com3.answer(statusReply(5, 20, 0x22, 0xCE, 1));
    reporter.answers = {ReportAnswer::Cancel};

    EXPECT_EQ(link.findCamera(&reporter), LINK_OK);

    std::vector<std::string> expected = openLog();
    append(expected, handshakeLog(1, false));
    expected.push_back("close COM2");
    append(expected, openLog());
    append(expected, handshakeLog());
    append(expected, {W('P'), W(':'), R(12, 12), sleepMs(300)});
    expectTranscript(wire.log, expected);

    EXPECT_EQ(link.foundPort(), 3);
    EXPECT_FALSE(link.scanning());
    EXPECT_EQ(link.port(), &com3);
    EXPECT_EQ(link.reporter(), &reporter);
    EXPECT_TRUE(reporter.asked.empty());
    EXPECT_EQ(link.status().pictureCount, 5);
    EXPECT_EQ(link.status().freeFrames, 20);
    EXPECT_EQ(link.status().modeQ, 1);
}

TEST_F(LinkLayer, PortAnsweringTheHandshakeButNotTheStatusIsClosed) {
    ScriptedPort& com1 = offer("COM1");
    com1.answer("G:");
    com1.answer("X:0123456789");
    ScriptedPort& com2 = offer("COM2");
    com2.answer("G:");
    com2.answer(statusReply(1, 1));

    EXPECT_EQ(link.findCamera(nullptr), LINK_OK);
    EXPECT_EQ(link.foundPort(), 2);
    std::vector<std::string> expected = openLog();
    append(expected, handshakeLog());
    append(expected, {W('P'), W(':'), R(12, 12), "close COM1"});
    append(expected, openLog());
    append(expected, handshakeLog());
    append(expected, {W('P'), W(':'), R(12, 12), sleepMs(300)});
    expectTranscript(wire.log, expected);
    EXPECT_EQ(link.reporter(), nullptr);
}

TEST_F(LinkLayer, NoCameraOnAnyPortNeverAsksTheUser) {
    std::vector<std::string> expected;
    for (int n = 1; n <= 8; ++n) {
        offer("COM" + std::to_string(n));
        append(expected, openLog());
        append(expected, handshakeLog(1, false));
        expected.push_back("close COM" + std::to_string(n));
    }
    EXPECT_EQ(link.findCamera(&reporter), LINK_BAD_REPLY);
    expectTranscript(wire.log, expected);
    EXPECT_TRUE(reporter.asked.empty());
    EXPECT_FALSE(link.port());
    EXPECT_EQ(link.reporter(), nullptr);
    EXPECT_EQ(link.foundPort(), 0);
    EXPECT_FALSE(link.scanning());
}

TEST_F(LinkLayer, ANewScanFirstLetsGoOfTheHeldPort) {
    ScriptedPort& first = offer("COM2");
    first.answer("G:");
    first.answer(statusReply(1, 1));
    ASSERT_EQ(link.findCamera(&reporter), LINK_OK);
    wire.log.clear();

    ScriptedPort& again = offer("COM2");
    again.answer("G:");
    again.answer(statusReply(2, 1));
    ASSERT_EQ(link.findCamera(&reporter), LINK_OK);
    ASSERT_FALSE(wire.log.empty());
    EXPECT_EQ(wire.log.front(), "close COM2");
    EXPECT_EQ(link.port(), &again);
    EXPECT_EQ(link.status().pictureCount, 2);
}

TEST_F(LinkLayer, ScanReplacesTheReporterEvenWithNone) {
    offer("COM1").answer("G:");
    ports["COM1"]->answer(statusReply(1, 1));
    link.setReporter(&reporter);
    ASSERT_EQ(link.findCamera(nullptr), LINK_OK);
    EXPECT_EQ(link.reporter(), nullptr);
}

}  // namespace
