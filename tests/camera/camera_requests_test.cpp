// camera_requests_test.cpp — every camera request on the wire: its bytes, its
// time-out, its pause, what it fills, and its short, missing or wrong replies.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "camera/camera_link.h"
#include "wire_fakes.h"

using namespace wiretest;

namespace {

class Requests : public LinkFixture {
protected:
    // The transcript of a request after a first-try handshake.
    std::vector<std::string> after(const std::vector<std::string>& rest) {
        std::vector<std::string> out = handshakeLog();
        append(out, rest);
        return out;
    }
};

auto fieldsOf(const CameraStatus& s) {
    return std::make_tuple(s.clockYear, s.clockMonth, s.clockDay, s.clockHour, s.clockMinute,
                           s.pictureCount, s.freeFrames, s.modeQ, s.modeT, s.batteryLevel);
}

// One row per request: what it writes after the handshake, and how it ends
// with a good status reply and without any reply.
struct StatusRow {
    const char* name;
    std::function<LinkResult(CameraLink&)> call;
    std::vector<std::string> request;  // between the handshake and the reply
    std::vector<std::string> goodEnd;  // after the reply, when it was good
    LinkResult missingResult;
    bool missingReported;
    bool pausesWithoutReply = false;
};

std::vector<StatusRow> statusRows() {
    return {
        {"requestStatus",
         [](CameraLink& l) { return l.requestStatus(); },
         {timeouts(3), W('P'), W(':')},
         {sleepMs(300)},
         LINK_BAD_REPLY,
         false,
         true},
        {"setModeQ(1)",
         [](CameraLink& l) { return l.setModeQ(1); },
         {W('Q'), W(':'), W(1), W(':')},
         {},
         LINK_BAD_REPLY,
         false},
        {"setModeT(0)",
         [](CameraLink& l) { return l.setModeT(0); },
         {W('T'), W(':'), W(0), W(':')},
         {},
         LINK_BAD_REPLY,
         false},
        {"takePicture",
         [](CameraLink& l) { return l.takePicture(); },
         {W('S'), W(':'), timeouts(20)},
         {sleepMs(200)},
         LINK_BAD_REPLY,
         true},
        {"setCameraClock",
         [](CameraLink& l) { return l.setCameraClock(clockBytes(1999, 3, 5, 14, 7)); },
         {W('M'), W(':'), W(Bytes{0xCF, 0x03, 0x05, 0x0E, 0x07})},
         {},
         LINK_BAD_REPLY,
         false},
        {"deletePicture(0)",
         [](CameraLink& l) { return l.deletePicture(0); },
         {timeouts(5), W('L'), W(':'), W(1), W(':')},
         {sleepMs(200)},
         LINK_BAD_REPLY,
         true},
        {"deletePicture(179)",
         [](CameraLink& l) { return l.deletePicture(179); },
         {timeouts(5), W('L'), W(':'), W(180), W(':')},
         {sleepMs(200)},
         LINK_BAD_REPLY,
         true},
    };
}

TEST_F(Requests, StatusRequestsWithAGoodReply) {
    for (const StatusRow& row : statusRows()) {
        SCOPED_TRACE(row.name);
        reporter.asked.clear();
        link.setStatus(CameraStatus{});
        ScriptedPort& p = attach();
        p.answer("G:");
        p.answer(statusReply(6, 14, 0x33, 0xCF, 2));
        EXPECT_EQ(row.call(link), LINK_OK);
        std::vector<std::string> expected = after(row.request);
        expected.push_back(R(12, 12));
        append(expected, row.goodEnd);
        expectTranscript(wire.log, expected);
        EXPECT_EQ(link.status().pictureCount, 6);
        EXPECT_EQ(link.status().freeFrames, 14);
        EXPECT_EQ(link.status().clockYear, 1999);
        EXPECT_EQ(link.status().batteryLevel, 2);
        EXPECT_TRUE(reporter.asked.empty());
    }
}

TEST_F(Requests, StatusRequestsWithoutAReplyOrWithAShortOne) {
    const Bytes good = statusReply(6, 14, 0x33, 0xCF, 2);
    for (const Bytes& reply :
         {Bytes{}, Bytes(good.begin(), good.begin() + 7), Bytes(good.begin(), good.end() - 1)}) {
        for (const StatusRow& row : statusRows()) {
            SCOPED_TRACE(std::string(row.name) + ", " + std::to_string(reply.size()) + " bytes");
            reporter.asked.clear();
            link.setStatus(CameraStatus{0, 0, 0, 0, 0, 9});
            ScriptedPort& p = attach();
            p.answer("G:");
            p.answer(reply);
            EXPECT_EQ(row.call(link), row.missingResult);
            std::vector<std::string> expected = after(row.request);
            expected.push_back(R(12, static_cast<uint32_t>(reply.size())));
            // Only the status request pauses after a failed reply.
            if (row.pausesWithoutReply) append(expected, row.goodEnd);
            expectTranscript(wire.log, expected);
            EXPECT_EQ(fieldsOf(link.status()), fieldsOf(CameraStatus{0, 0, 0, 0, 0, 9}))
                << "status changed without a whole reply";
            if (row.missingReported)
                EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_BAD_REPLY});
            else
                EXPECT_TRUE(reporter.asked.empty());
        }
    }
}

TEST_F(Requests, WrongHeaderCountsAsNoReply) {
    for (const StatusRow& row : statusRows()) {
        SCOPED_TRACE(row.name);
        reporter.asked.clear();
        ScriptedPort& p = attach();
        p.answer("G:");
        Bytes bad = statusReply(1, 1);
        bad[0] = 'C';
        p.answer(bad);
        link.setCounts(9, 0);
        EXPECT_EQ(row.call(link), row.missingResult);
        EXPECT_EQ(link.status().pictureCount, 9);
        EXPECT_EQ(reporter.asked.size(), row.missingReported ? 1u : 0u);
    }
}

TEST_F(Requests, EveryRequestStopsAfterAFailedHandshake) {
    const std::vector<std::pair<const char*, std::function<LinkResult(CameraLink&)>>> calls = {
        {"requestStatus", [](CameraLink& l) { return l.requestStatus(); }},
        {"setModeQ", [](CameraLink& l) { return l.setModeQ(1); }},
        {"setModeT", [](CameraLink& l) { return l.setModeT(1); }},
        {"takePicture", [](CameraLink& l) { return l.takePicture(); }},
        {"setCameraClock",
         [](CameraLink& l) { return l.setCameraClock(clockBytes(2000, 1, 1, 0, 0)); }},
        {"deletePicture", [](CameraLink& l) { return l.deletePicture(3); }},
        {"readPictureInfo", [](CameraLink& l) { return l.readPictureInfo(3); }},
        {"readFirmwareVersion", [](CameraLink& l) { return l.readFirmwareVersion(); }},
        {"downloadPicture", [](CameraLink& l) { return l.downloadPicture(3, nullptr); }},
        {"downloadThumbnail", [](CameraLink& l) { return l.downloadThumbnail(3, nullptr); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        wire.log.clear();
        reporter.asked.clear();
        attach();
        reporter.answers = {ReportAnswer::Cancel};
        EXPECT_EQ(call(link), LINK_NO_ANSWER);
        expectTranscript(wire.log, handshakeLog(7, false));
        EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_NO_ANSWER});
    }
}

TEST_F(Requests, ModeQTakesTheValueAskedForModeTTheCamerasWord) {
    ScriptedPort& p = attach();
    p.answer("G:");
    p.answer(statusReply(1, 1, 0x11));  // camera still reports Q off, T on
    ASSERT_EQ(link.setModeQ(1), LINK_OK);
    EXPECT_EQ(link.status().modeQ, 1);
    EXPECT_EQ(link.status().modeT, 1);

    p.answer("G:");
    p.answer(statusReply(1, 1, 0x22));  // camera reports Q on, T off
    ASSERT_EQ(link.setModeQ(0), LINK_OK);
    EXPECT_EQ(link.status().modeQ, 0);

    p.answer("G:");
    p.answer(statusReply(1, 1, 0x00));
    ASSERT_EQ(link.setModeT(1), LINK_OK);
    EXPECT_EQ(link.status().modeT, 0);
}

TEST_F(Requests, FailedModeQKeepsTheOldMode) {
    ScriptedPort& p = attach();
    link.setStatus(CameraStatus{});
    p.answer("G:");
    p.answer("Q:0123456789");
    EXPECT_EQ(link.setModeQ(1), LINK_BAD_REPLY);
    EXPECT_EQ(link.status().modeQ, 0);
}

TEST_F(Requests, SelfTimerLengthensTheCaptureTimeout) {
    ScriptedPort& p = attach();
    CameraStatus timer;
    timer.modeT = 1;
    link.setStatus(timer);
    p.answer("G:");  // the camera stays silent after "S:"
    EXPECT_EQ(link.takePicture(), LINK_BAD_REPLY);
    expectTranscript(wire.log, after({W('S'), W(':'), timeouts(35), R(12, 0)}));
    EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_BAD_REPLY});
}

TEST_F(Requests, CaptureFailureWithoutReporterIsStillAFailure) {
    ScriptedPort& p = attach();
    link.setReporter(nullptr);
    p.answer("G:");
    EXPECT_EQ(link.takePicture(), LINK_BAD_REPLY);
}

TEST_F(Requests, ClockBytesTravelThroughTheReplyBuffer) {
    ScriptedPort& p = attach();
    p.answer("G:");
    p.answer(statusReply(1, 1));
    ASSERT_EQ(link.setCameraClock(clockBytes(2001, 12, 24, 18, 30)), LINK_OK);
    EXPECT_EQ(p.sent, (Bytes{0x00, 'M', ':', 0xD1, 12, 24, 18, 30}));
    EXPECT_EQ(link.command(), 'M');
}

TEST_F(Requests, PictureInfoOfAnIndexTravelsAsIndexPlusOne) {
    ScriptedPort& p = attach();
    p.answer("G:");
    p.answer(infoReply(5, 4000, 60000, 1));
    ASSERT_EQ(link.readPictureInfo(4), LINK_OK);
    expectTranscript(wire.log, after({timeouts(2), W('I'), W(':'), W(5), W(':'), R(22, 22)}));
    EXPECT_EQ(link.pictureInfo().pictureNumber, 5);
    EXPECT_EQ(link.pictureInfo().thumbnailSize, 4000u);
    EXPECT_EQ(link.pictureInfo().pictureSize, 60000u);
    EXPECT_EQ(link.pictureInfo().marker, 1);
}

TEST_F(Requests, PictureInfoMissingShortOrWrongChangesNothing) {
    ScriptedPort& p = attach();
    p.answer("G:");
    p.answer(infoReply(5, 4000, 60000));
    ASSERT_EQ(link.readPictureInfo(4), LINK_OK);
    const PictureInfo before = link.pictureInfo();

    Bytes wrong = infoReply(9, 100, 200);
    wrong[0] = '?';
    Bytes colonOnly = infoReply(9, 100, 200);
    colonOnly[0] = 'S';
    const Bytes whole = infoReply(9, 100, 200);
    const struct {
        const char* name;
        Bytes reply;
    } cases[] = {
        {"missing", {}},
        {"header only", Bytes{'C', ':', 9}},
        {"one byte short", Bytes(whole.begin(), whole.end() - 1)},
        {"wrong header", wrong},
        {"wrong letter", colonOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wire.log.clear();
        p.answer("G:");
        p.answer(c.reply);
        EXPECT_EQ(link.readPictureInfo(8), LINK_BAD_REPLY);
        expectTranscript(wire.log, after({timeouts(2), W('I'), W(':'), W(9), W(':'),
                                          R(22, static_cast<uint32_t>(c.reply.size()))}));
        EXPECT_EQ(link.pictureInfo(), before);
    }
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(Requests, FirmwareVersionIsTheFirstByteOverTen) {
    for (auto [byte, version] :
         {std::pair<uint8_t, double>{39, 3.9}, {40, 4.0}, {41, 4.1}, {1, 0.1}, {62, 6.2}}) {
        wire.log.clear();
        ScriptedPort& p = attach();
        p.answer("G:");
        p.answer(Bytes{byte, 0x77});
        ASSERT_EQ(link.readFirmwareVersion(), LINK_OK);
        EXPECT_DOUBLE_EQ(link.firmwareVersion(), version);
        expectTranscript(wire.log, after({timeouts(2), W('y'), W(':'), R(2, 2)}));
    }
}

TEST_F(Requests, FirmwareReplyMissingShortOrAHeaderChangesNothing) {
    const struct {
        const char* name;
        Bytes reply;
    } cases[] = {
        {"missing", {}},
        {"one byte", Bytes{40}},
        {"'?' of a refused request", Bytes{'?', ':'}},
        {"a handshake's answer", Bytes{'G', ':'}},
        {"a status header", Bytes{'S', ':'}},
        {"zero", Bytes{0, ':'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort& p = attach();
        link.assumeFirmware(3.9);
        p.answer("G:");
        p.answer(c.reply);
        EXPECT_EQ(link.readFirmwareVersion(), LINK_BAD_REPLY);
        EXPECT_DOUBLE_EQ(link.firmwareVersion(), 3.9);
        expectTranscript(wire.log, after({timeouts(2), W('y'), W(':'),
                                          R(2, static_cast<uint32_t>(c.reply.size()))}));
    }
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(Requests, RequestsSeparateLetterAndArgumentWithAColon) {
    ScriptedPort& p = attach();
    p.answer("G:");
    p.answer(statusReply(1, 1));
    ASSERT_EQ(link.deletePicture(2), LINK_OK);
    EXPECT_EQ(p.sent, (Bytes{0x00, 'L', ':', 3, ':'}));
}

}  // namespace
