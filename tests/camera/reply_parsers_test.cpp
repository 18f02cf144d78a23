// reply_parsers_test.cpp — status and picture-information replies, record
// equality, clock bytes and speed codes.
#include <gtest/gtest.h>

#include "camera/camera_link.h"
#include "camera/camera_replies.h"
#include "wire_fakes.h"

using wiretest::Bytes;

TEST(StatusReply, FillsEveryFieldFromItsByte) {
    const Bytes reply{'S', ':', 17, 3, 0x00, 0xCE, 12, 31, 23, 59, 2, 0xAA};
    CameraStatus s;
    ASSERT_TRUE(parseStatusReply(reply.data(), s));
    EXPECT_EQ(s.pictureCount, 17);
    EXPECT_EQ(s.freeFrames, 3);
    EXPECT_EQ(s.clockYear, 1998);
    EXPECT_EQ(s.clockMonth, 12);
    EXPECT_EQ(s.clockDay, 31);
    EXPECT_EQ(s.clockHour, 23);
    EXPECT_EQ(s.clockMinute, 59);
    EXPECT_EQ(s.batteryLevel, 2);
}

TEST(StatusReply, ModesNeedBothBitsOfTheirPair) {
    struct Case {
        uint8_t byte4;
        int modeQ;
        int modeT;
    };
    const Case cases[] = {{0x33, 1, 1}, {0x22, 1, 0}, {0x11, 0, 1}, {0x20, 0, 0},
                          {0x02, 0, 0}, {0x10, 0, 0}, {0x01, 0, 0}, {0xFF, 1, 1}};
    for (const Case& c : cases) {
        Bytes reply = wiretest::statusReply(1, 1, c.byte4);
        CameraStatus s;
        ASSERT_TRUE(parseStatusReply(reply.data(), s));
        EXPECT_EQ(s.modeQ, c.modeQ) << "byte 4 = " << int(c.byte4);
        EXPECT_EQ(s.modeT, c.modeT) << "byte 4 = " << int(c.byte4);
    }
}

TEST(StatusReply, YearIsTheLowByteOver1792) {
    for (auto [b, year] : {std::pair<uint8_t, int>{0xCE, 1998}, {0x00, 1792}, {0xFF, 2047}}) {
        Bytes reply = wiretest::statusReply(1, 1, 0, b);
        CameraStatus s;
        ASSERT_TRUE(parseStatusReply(reply.data(), s));
        EXPECT_EQ(s.clockYear, year);
    }
}

TEST(StatusReply, WrongHeaderLeavesTheStatusAlone) {
    for (const char* header : {"S;", "G:", "s:", "C:"}) {
        Bytes reply = wiretest::statusReply(9, 9, 0x33);
        reply[0] = header[0];
        reply[1] = header[1];
        CameraStatus s;
        s.pictureCount = 4;
        s.modeQ = 0;
        EXPECT_FALSE(parseStatusReply(reply.data(), s)) << header;
        EXPECT_EQ(s.pictureCount, 4);
        EXPECT_EQ(s.modeQ, 0);
    }
}

TEST(InfoReply, FillsEveryFieldBigEndian) {
    const Bytes reply{'C',  ':',  42,   0x01, 0x02, 0x00, 0x00, 0x32, 0xC8, 0x03, 0x04,
                      0x00, 0x01, 0x86, 0xA0, 0xCF, 3,    5,    14,   7,    1,    0x99};
    PictureInfo p;
    ASSERT_EQ(parsePictureInfoReply(reply.data(), p), LINK_OK);
    EXPECT_EQ(p.pictureNumber, 42);
    EXPECT_EQ(p.width, 0x0102u);
    EXPECT_EQ(p.thumbnailSize, 13000u);
    EXPECT_EQ(p.height, 0x0304u);
    EXPECT_EQ(p.pictureSize, 100000u);
    EXPECT_EQ(p.year, 1999);
    EXPECT_EQ(p.month, 3);
    EXPECT_EQ(p.day, 5);
    EXPECT_EQ(p.hour, 14);
    EXPECT_EQ(p.minute, 7);
    EXPECT_EQ(p.marker, 1);
}

TEST(InfoReply, LargestSizesUseAllFourBytes) {
    Bytes reply = wiretest::infoReply(1, 0xFEDCBA98u, 0x89ABCDEFu);
    PictureInfo p;
    ASSERT_EQ(parsePictureInfoReply(reply.data(), p), LINK_OK);
    EXPECT_EQ(p.thumbnailSize, 0xFEDCBA98u);
    EXPECT_EQ(p.pictureSize, 0x89ABCDEFu);
}

TEST(InfoReply, NeedsBothHeaderBytes) {
    for (const char* header : {"G:", "C;", "S:", "c:"}) {
        Bytes reply = wiretest::infoReply(7, 100, 200);
        reply[0] = header[0];
        reply[1] = header[1];
        PictureInfo p;
        p.pictureNumber = 3;
        p.pictureSize = 5;
        const PictureInfo before = p;
        EXPECT_EQ(parsePictureInfoReply(reply.data(), p), LINK_BAD_INFO) << header;
        EXPECT_EQ(p, before) << "fields changed for header " << header;
    }
}

TEST(PictureInfoRecord, EqualOnlyWhenEveryFieldIsEqual) {
    Bytes reply = wiretest::infoReply(7, 100, 200, 1);
    PictureInfo base;
    ASSERT_EQ(parsePictureInfoReply(reply.data(), base), LINK_OK);
    EXPECT_EQ(base, base);
    const std::vector<void (*)(PictureInfo&)> changes = {
        [](PictureInfo& p) { p.pictureNumber++; }, [](PictureInfo& p) { p.width++; },
        [](PictureInfo& p) { p.thumbnailSize++; }, [](PictureInfo& p) { p.height++; },
        [](PictureInfo& p) { p.pictureSize++; },   [](PictureInfo& p) { p.year++; },
        [](PictureInfo& p) { p.month++; },         [](PictureInfo& p) { p.day++; },
        [](PictureInfo& p) { p.hour++; },          [](PictureInfo& p) { p.minute++; },
        [](PictureInfo& p) { p.marker++; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        PictureInfo other = base;
        changes[i](other);
        EXPECT_NE(base, other) << "field " << i << " is not compared";
    }
}

TEST(ClockBytes, LocalDateAndTimeAsFiveBytes) {
    const ClockBytes c = clockBytes(1999, 3, 5, 14, 7);
    EXPECT_EQ(Bytes(c.bytes, c.bytes + 5), (Bytes{0xCF, 0x03, 0x05, 0x0E, 0x07}));
    const ClockBytes d = clockBytes(2024, 12, 31, 0, 59);
    EXPECT_EQ(Bytes(d.bytes, d.bytes + 5), (Bytes{0xE8, 12, 31, 0, 59}));
}

TEST(SpeedCodes, RatesOfTheKnownCodesOnly) {
    EXPECT_EQ(baudRateForSpeedCode(7), 115200u);
    EXPECT_EQ(baudRateForSpeedCode(15), 56000u);
    EXPECT_EQ(baudRateForSpeedCode(46), 19200u);
    EXPECT_EQ(baudRateForSpeedCode(92), 9600u);
    for (int other : {0, 1, 8, 14, 16, 20, 45, 91, 93, 255})
        EXPECT_EQ(baudRateForSpeedCode(static_cast<uint8_t>(other)), 0u) << other;
}
