// picture_download_test.cpp — picture and thumbnail downloads on the wire: both
// methods, sizes at the block and limit boundaries, retries, stop bytes, line
// speeds switched and switched back, progress, and every failure path.
#include <gtest/gtest.h>

#include <cstring>

#include "camera/camera_link.h"
#include "image/jpeg_decoder.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"
#include "wire_fakes.h"

using namespace wiretest;

namespace {

Bytes pictureBytes(uint32_t size, uint32_t seed = 1) {
    Bytes b(size);
    uint32_t x = seed * 2654435761u + 12345;
    for (uint32_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = static_cast<uint8_t>(x >> 16);
    }
    return b;
}

enum class Kind { Picture, Thumbnail };

class Downloads : public LinkFixture {
protected:
    Downloads() { link.setLineOptions({SPEED_115200, 1}); }

    LinkResult run(Kind kind, int index, ProgressSink* progress = nullptr) {
        return kind == Kind::Picture ? link.downloadPicture(index, progress)
                                     : link.downloadThumbnail(index, progress, tellBlockFailure);
    }

    // What the camera window passes while it loads its first page: false.
    bool tellBlockFailure = true;

    // The camera's side up to the data: handshake, acknowledgement,
    // information reply, acknowledgement at the new speed.
    void cameraAnnounces(ScriptedPort& p, Kind kind, uint32_t size) {
        p.answer("G:");
        p.answer("AK");
        p.answer(kind == Kind::Picture ? infoReply(1, 500, size) : infoReply(1, size, 500));
        p.answer("ak");
    }
    void cameraSends(ScriptedPort& p, const Bytes& data) {
        for (size_t at = 0; at < data.size(); at += BLOCK_SIZE)
            p.answer(Bytes(data.begin() + at,
                           data.begin() + std::min<size_t>(at + BLOCK_SIZE, data.size())));
    }

    // The PC's side up to the data.
    std::vector<std::string> requestLog(Kind kind, uint8_t number, uint8_t speed, uint32_t baud) {
        std::vector<std::string> out = handshakeLog();
        append(out, {timeouts(3), W(kind == Kind::Picture ? 'F' : 'H'), W(':'), W(number), W(':'),
                     W(speed), W(':'), R(2, 2), R(22, 22), "get", setLine(baud), "purge", R(2, 2)});
        return out;
    }
    static std::vector<std::string> addressedBlock(uint32_t number, uint32_t count, uint32_t got) {
        return {"purge", W(static_cast<uint8_t>(number / 256)),
                W(static_cast<uint8_t>(number % 256)), R(count, got)};
    }
    static std::vector<std::string> backTo9600() { return {"get", setLine(9600), "purge"}; }

    // Data blocks by the addressed method, the stop bytes and the way back.
    std::vector<std::string> addressedLog(Kind kind, uint32_t size) {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < size / BLOCK_SIZE; ++i) append(out, addressedBlock(i, 32, 32));
        if (size % BLOCK_SIZE) append(out, addressedBlock(size / BLOCK_SIZE, size % 32, size % 32));
        out.push_back(W(0xFF));
        if (kind == Kind::Thumbnail) out.push_back(sleepMs(100));
        out.push_back(W(0xFF));
        append(out, backTo9600());
        return out;
    }
    std::vector<std::string> steppedLog(uint32_t size) {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < size / BLOCK_SIZE; ++i) append(out, {W('O'), R(32, 32)});
        if (size % BLOCK_SIZE) append(out, {W('O'), R(size % 32, size % 32)});
        append(out, backTo9600());
        return out;
    }
};

// --- Complete downloads -------------------------------------------------------

struct SizeCase {
    Kind kind;
    uint32_t size;
    double firmware;
};

class DownloadSizes : public Downloads, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(DownloadSizes, EveryByteArrivesInItsPlace) {
    const SizeCase c = GetParam();
    ScriptedPort& p = attach();
    link.assumeFirmware(c.firmware);
    const Bytes data = pictureBytes(c.size, c.size);
    cameraAnnounces(p, c.kind, c.size);
    cameraSends(p, data);

    ASSERT_EQ(run(c.kind, 0), LINK_OK);
    ASSERT_EQ(link.downloadSize(), static_cast<int32_t>(c.size));
    ASSERT_TRUE(link.downloadData());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), link.downloadData()));

    std::vector<std::string> expected = requestLog(c.kind, 1, SPEED_115200, 115200);
    append(expected, c.firmware < 4.0 ? steppedLog(c.size) : addressedLog(c.kind, c.size));
    expectTranscript(wire.log, expected);
    EXPECT_TRUE(reporter.asked.empty());
    EXPECT_TRUE(p.allAnswered());
}

INSTANTIATE_TEST_SUITE_P(
    BothMethods, DownloadSizes,
    ::testing::Values(SizeCase{Kind::Picture, 100000, 4.0}, SizeCase{Kind::Picture, 100001, 4.0},
                      SizeCase{Kind::Picture, 800000, 4.0}, SizeCase{Kind::Picture, 31, 4.0},
                      SizeCase{Kind::Picture, 0, 4.0}, SizeCase{Kind::Thumbnail, 20, 4.0},
                      SizeCase{Kind::Thumbnail, 13000, 4.0}, SizeCase{Kind::Thumbnail, 12968, 4.0},
                      SizeCase{Kind::Picture, 100000, 3.9}, SizeCase{Kind::Picture, 100001, 3.9},
                      SizeCase{Kind::Picture, 800000, 3.9}, SizeCase{Kind::Thumbnail, 20, 3.9},
                      SizeCase{Kind::Thumbnail, 13000, 3.9}),
    [](const ::testing::TestParamInfo<SizeCase>& info) {
        const SizeCase& c = info.param;
        return std::string(c.kind == Kind::Picture ? "Picture" : "Thumbnail") +
               std::to_string(c.size) + (c.firmware < 4.0 ? "Stepped" : "Addressed");
    });

TEST_F(Downloads, LastPartialBlockIsAskedByItsNumber) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 100001);
    cameraSends(p, pictureBytes(100001));
    ASSERT_EQ(run(Kind::Picture, 0), LINK_OK);
    // Block 3125 = 0x0C35, read for one byte, then the stop bytes.
    const std::vector<std::string> tail(wire.log.end() - 9, wire.log.end());
    expectTranscript(tail, {"purge", W(0x0C), W(0x35), R(1, 1), W(0xFF), W(0xFF), "get",
                            setLine(9600), "purge"});
}

TEST_F(Downloads, SmallThumbnailIsOnePartialBlockWithAPauseBetweenTheStopBytes) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    link.setLineOptions({SPEED_115200, 3});
    cameraAnnounces(p, Kind::Thumbnail, 20);
    cameraSends(p, pictureBytes(20));
    ASSERT_EQ(run(Kind::Thumbnail, 6), LINK_OK);
    std::vector<std::string> expected = requestLog(Kind::Thumbnail, 7, SPEED_115200, 115200);
    append(expected, {"purge", W(0), W(0), R(20, 20), W(0xFF), sleepMs(300), W(0xFF)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
}

TEST_F(Downloads, SpeedCodeGoesInTheRequestAndSwitchesThePc) {
    for (auto [code, baud] : {std::pair<uint8_t, uint32_t>{15, 56000}, {46, 19200}, {20, 9600}}) {
        ScriptedPort& p = attach();
        link.assumeFirmware(4.0);
        link.setLineOptions({code, 1});
        cameraAnnounces(p, Kind::Picture, 64);
        cameraSends(p, pictureBytes(64));
        ASSERT_EQ(run(Kind::Picture, 2), LINK_OK);
        std::vector<std::string> expected = requestLog(Kind::Picture, 3, code, baud);
        append(expected, addressedLog(Kind::Picture, 64));
        expectTranscript(wire.log, expected);
    }
}

TEST_F(Downloads, ProgressCountsBlocksInHundreds) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 100000);
    cameraSends(p, pictureBytes(100000));
    RecordingProgress progress;
    ASSERT_EQ(run(Kind::Picture, 0, &progress), LINK_OK);
    EXPECT_EQ(progress.maxima, std::vector<int>{312500});
    ASSERT_EQ(progress.positions.size(), 3126u);
    for (int i = 0; i < 3125; ++i) ASSERT_EQ(progress.positions[i], i * 100);
    EXPECT_EQ(progress.positions.back(), 0);
}

TEST_F(Downloads, SteppedProgressSkipsThePartialBlock) {
    ScriptedPort& p = attach();
    link.assumeFirmware(3.9);
    cameraAnnounces(p, Kind::Picture, 70);
    cameraSends(p, pictureBytes(70));
    RecordingProgress progress;
    ASSERT_EQ(run(Kind::Picture, 0, &progress), LINK_OK);
    EXPECT_EQ(progress.maxima, std::vector<int>{200});
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 100, 0}));
}

TEST_F(Downloads, ANewDownloadReplacesTheBuffer) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 40);
    cameraSends(p, pictureBytes(40, 1));
    ASSERT_EQ(run(Kind::Picture, 0), LINK_OK);
    cameraAnnounces(p, Kind::Thumbnail, 10);
    const Bytes second = pictureBytes(10, 2);
    cameraSends(p, second);
    ASSERT_EQ(run(Kind::Thumbnail, 0), LINK_OK);
    EXPECT_EQ(link.downloadSize(), 10);
    EXPECT_TRUE(std::equal(second.begin(), second.end(), link.downloadData()));
}

// --- Retries of the addressed method -----------------------------------------

TEST_F(Downloads, PictureBlockOnItsSixthTryIsTakenAndTheNextStartsAfresh) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    const Bytes data = pictureBytes(64);
    cameraAnnounces(p, Kind::Picture, 64);
    for (int block = 0; block < 2; ++block) {
        // Short tries count as failed; bytes came, so the line is there.
        for (uint32_t got = 1; got <= 5; ++got) p.answer(Bytes(data.begin(), data.begin() + got));
        p.answer(Bytes(data.begin() + 32 * block, data.begin() + 32 * block + 32));
    }
    ASSERT_EQ(run(Kind::Picture, 0), LINK_OK);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), link.downloadData()));

    std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
    for (uint32_t block = 0; block < 2; ++block) {
        for (uint32_t got = 1; got <= 5; ++got) append(expected, addressedBlock(block, 32, got));
        append(expected, addressedBlock(block, 32, 32));
    }
    append(expected, {W(0xFF), W(0xFF)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_TRUE(reporter.asked.empty());
}

struct AbortCase {
    Kind kind;
    bool silent;  // no byte at all, else a few bytes every try
    int initialLoadPending;
    bool reported;
};

class AddressedAbort : public Downloads, public ::testing::WithParamInterface<AbortCase> {};

// A noisy line gets every try (six for a picture block, four for a
// thumbnail's); a silent one the whole time-out and one short probe.
TEST_P(AddressedAbort, BlockThatFailsEveryTryEndsTheTransfer) {
    const AbortCase c = GetParam();
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    tellBlockFailure = c.initialLoadPending == 0;
    cameraAnnounces(p, c.kind, 100);
    p.answer(pictureBytes(32));  // block 0 arrives, block 1 never whole
    const int tries = c.kind == Kind::Picture ? 6 : 4;
    if (!c.silent)
        for (int t = 0; t < tries; ++t) p.answer(Bytes(7, 0x11));
    RecordingProgress progress;

    EXPECT_EQ(run(c.kind, 0, &progress), LINK_BLOCK_FAILED);
    std::vector<std::string> expected = requestLog(c.kind, 1, SPEED_115200, 115200);
    append(expected, addressedBlock(0, 32, 32));
    if (c.silent) {
        append(expected, addressedBlock(1, 32, 0));
        expected.push_back(timeouts(PROBE_TIMEOUT_S));
        append(expected, addressedBlock(1, 32, 0));
        expected.push_back(timeouts(DOWNLOAD_TIMEOUT_S));
    } else {
        for (int t = 0; t < tries; ++t) append(expected, addressedBlock(1, 32, 7));
    }
    append(expected, {W(0xFF), W(0xFF)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_FALSE(link.downloadData());
    EXPECT_EQ(progress.positions, std::vector<int>{0});
    if (c.reported)
        EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_BLOCK_FAILED});
    else
        EXPECT_TRUE(reporter.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(PictureSixThumbnailFour, AddressedAbort,
                         ::testing::Values(AbortCase{Kind::Picture, false, 0, true},
                                           AbortCase{Kind::Picture, false, 1, true},
                                           AbortCase{Kind::Thumbnail, false, 0, true},
                                           AbortCase{Kind::Thumbnail, false, 1, false},
                                           AbortCase{Kind::Picture, true, 0, true},
                                           AbortCase{Kind::Thumbnail, true, 1, false}),
                         [](const ::testing::TestParamInfo<AbortCase>& info) {
                             const AbortCase& c = info.param;
                             return std::string(c.kind == Kind::Picture ? "Picture" : "Thumbnail") +
                                    (c.silent ? "Silent" : "Noisy") +
                                    (c.initialLoadPending ? "WhileLoadingFirstPage" : "");
                         });

// A probe that is answered, even in part, shows a line that is there: the
// block keeps its tries, at the whole time-out again.
TEST_F(Downloads, PartialBlockIsRetriedLikeTheOthers) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    const Bytes data = pictureBytes(40);
    cameraAnnounces(p, Kind::Thumbnail, 40);
    p.answer(Bytes(data.begin(), data.begin() + 32));
    p.silence();
    p.answer(Bytes(data.begin() + 32, data.begin() + 35));
    p.silence();
    p.answer(Bytes(data.begin() + 32, data.end()));
    ASSERT_EQ(run(Kind::Thumbnail, 0), LINK_OK);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), link.downloadData()));

    std::vector<std::string> expected = requestLog(Kind::Thumbnail, 1, SPEED_115200, 115200);
    append(expected, addressedBlock(0, 32, 32));
    for (int round = 0; round < 2; ++round) {
        append(expected, addressedBlock(1, 8, 0));
        expected.push_back(timeouts(PROBE_TIMEOUT_S));
        append(expected, addressedBlock(1, 8, round == 0 ? 3 : 8));
        expected.push_back(timeouts(DOWNLOAD_TIMEOUT_S));
    }
    append(expected, {W(0xFF), sleepMs(100), W(0xFF)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
}

// A cancel between two blocks: the next block's read does not wait, the
// stop bytes end the camera's transfer and nobody is told of a failure.
TEST_F(Downloads, ACancelEndsTheTransferWithTheStopBytesAndNoMessage) {
    struct CancellingProgress : RecordingProgress {
        CameraLink* link = nullptr;
        void setPosition(int p) override {
            RecordingProgress::setPosition(p);
            link->cancel();
        }
    } progress;
    progress.link = &link;
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 100);
    cameraSends(p, pictureBytes(100));

    EXPECT_EQ(run(Kind::Picture, 0, &progress), LINK_BLOCK_FAILED);
    std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
    append(expected, addressedBlock(0, 32, 32));
    append(expected, {"purge", W(0), W(1), W(0xFF), W(0xFF)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_TRUE(reporter.asked.empty());
    link.clearCancel();
    EXPECT_FALSE(link.cancelRequested());
}

// --- The stepped method ------------------------------------------------------

TEST_F(Downloads, SteppedShortBlockFailsAtOnceWithoutStopBytes) {
    ScriptedPort& p = attach();
    link.assumeFirmware(3.9);
    cameraAnnounces(p, Kind::Picture, 100);
    p.answer(pictureBytes(32));
    p.answer(Bytes(31, 0x55));
    EXPECT_EQ(run(Kind::Picture, 0), LINK_BLOCK_FAILED);
    std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
    append(expected, {W('O'), R(32, 32), W('O'), R(32, 31)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_FALSE(link.downloadData());
    EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_BLOCK_FAILED});
}

TEST_F(Downloads, SteppedShortRestFails) {
    ScriptedPort& p = attach();
    link.assumeFirmware(3.9);
    tellBlockFailure = false;
    cameraAnnounces(p, Kind::Thumbnail, 40);
    p.answer(pictureBytes(32));
    p.answer(Bytes(7, 1));
    EXPECT_EQ(run(Kind::Thumbnail, 0), LINK_BLOCK_FAILED);
    EXPECT_TRUE(reporter.asked.empty());  // still loading the first page
}

// --- Size limits ---------------------------------------------------------------

TEST_F(Downloads, PictureOverTheLimitIsRefusedWithoutAWordToTheCamera) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 40);
    const Bytes earlier = pictureBytes(40);
    cameraSends(p, earlier);
    ASSERT_EQ(run(Kind::Picture, 0), LINK_OK);
    wire.log.clear();

    cameraAnnounces(p, Kind::Picture, 800001);
    EXPECT_EQ(run(Kind::Picture, 0), LINK_TOO_BIG);
    std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_TOO_BIG});
    // The earlier picture stays; the size already names the refused one.
    EXPECT_EQ(link.downloadSize(), 800001);
    ASSERT_TRUE(link.downloadData());
    EXPECT_TRUE(std::equal(earlier.begin(), earlier.end(), link.downloadData()));
}

TEST_F(Downloads, ThumbnailOverTheLimitIsStoppedQuietly) {
    for (double firmware : {3.9, 4.0}) {
        ScriptedPort& p = attach();
        link.assumeFirmware(firmware);
        reporter.asked.clear();
        cameraAnnounces(p, Kind::Thumbnail, 13001);
        EXPECT_EQ(run(Kind::Thumbnail, 0), LINK_TOO_BIG);
        std::vector<std::string> expected = requestLog(Kind::Thumbnail, 1, SPEED_115200, 115200);
        append(expected, {W(0xFF), W(0xFF)});
        append(expected, backTo9600());
        expectTranscript(wire.log, expected);
        EXPECT_TRUE(reporter.asked.empty());
    }
}

TEST_F(Downloads, HugeSizesAreRefusedToo) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Picture, 0xFFFFFFFFu);
    EXPECT_EQ(run(Kind::Picture, 0), LINK_TOO_BIG);
    EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_TOO_BIG});
}

// --- Short and wrong replies before the data -----------------------------------

TEST_F(Downloads, ShortRepliesBeforeTheSpeedSwitchEndAtOnce) {
    struct Case {
        const char* name;
        std::vector<Bytes> replies;
        std::vector<std::string> reads;
    };
    const Case cases[] = {
        {"no acknowledgement", {}, {R(2, 0)}},
        {"half an acknowledgement", {Bytes{'A'}}, {R(2, 1)}},
        {"short information", {Bytes{'A', 'K'}, Bytes(21, 'C')}, {R(2, 2), R(22, 21)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort& p = attach();
        link.assumeFirmware(4.0);
        reporter.asked.clear();
        p.answer("G:");
        for (const Bytes& r : c.replies) p.answer(r);
        EXPECT_EQ(run(Kind::Picture, 0), LINK_BAD_REPLY);
        std::vector<std::string> expected = handshakeLog();
        append(expected, {timeouts(3), W('F'), W(':'), W(1), W(':'), W(7), W(':')});
        append(expected, c.reads);
        expectTranscript(wire.log, expected);
        EXPECT_TRUE(reporter.asked.empty());
    }
}

TEST_F(Downloads, ShortAcknowledgementAtTheNewSpeedSwitchesBack) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    p.answer("G:");
    p.answer("AK");
    p.answer(infoReply(1, 10, 10));
    p.answer("a");
    EXPECT_EQ(run(Kind::Picture, 0), LINK_BAD_REPLY);
    std::vector<std::string> expected = handshakeLog();
    append(expected, {timeouts(3), W('F'), W(':'), W(1), W(':'), W(7), W(':'), R(2, 2), R(22, 22),
                      "get", setLine(115200), "purge", R(2, 1)});
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_TRUE(reporter.asked.empty());
}

TEST_F(Downloads, InformationWithoutItsHeaderFetchesNothing) {
    for (double firmware : {3.9, 4.0}) {
        SCOPED_TRACE(firmware);
        ScriptedPort& p = attach();
        link.assumeFirmware(firmware);
        // An earlier picture's size.
        p.answer("G:");
        p.answer(infoReply(1, 10, 64));
        ASSERT_EQ(link.readPictureInfo(0), LINK_OK);
        wire.log.clear();
        p.answer("G:");
        p.answer("AK");
        Bytes info = infoReply(1, 10, 10);
        info[0] = 'X';
        p.answer(info);
        p.answer("ak");
        EXPECT_EQ(run(Kind::Picture, 0), LINK_BAD_REPLY);
        std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
        if (firmware >= 4.0) append(expected, {W(0xFF), W(0xFF)});
        append(expected, backTo9600());
        expectTranscript(wire.log, expected);
        EXPECT_EQ(link.pictureInfo().pictureSize, 64u);
    }
}

TEST_F(Downloads, InformationArrivesInTheLinkEvenWhenTooBig) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    p.answer("G:");
    p.answer("AK");
    p.answer(infoReply(9, 20000, 100, 1));
    p.answer("ak");
    EXPECT_EQ(run(Kind::Thumbnail, 8), LINK_TOO_BIG);
    EXPECT_EQ(link.pictureInfo().pictureNumber, 9);
    EXPECT_EQ(link.pictureInfo().thumbnailSize, 20000u);
    EXPECT_EQ(link.pictureInfo().marker, 1);
}

// --- Memory -----------------------------------------------------------------------

TEST_F(Downloads, FailedAllocationIsReportedAndSwitchesBack) {
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    link.setAllocator([](std::size_t) -> uint8_t* { return nullptr; });
    cameraAnnounces(p, Kind::Picture, 64);
    RecordingProgress progress;
    EXPECT_EQ(run(Kind::Picture, 0, &progress), LINK_NO_MEMORY);
    std::vector<std::string> expected = requestLog(Kind::Picture, 1, SPEED_115200, 115200);
    append(expected, backTo9600());
    expectTranscript(wire.log, expected);
    EXPECT_EQ(reporter.asked, std::vector<LinkResult>{LINK_NO_MEMORY});
    EXPECT_FALSE(link.downloadData());
    EXPECT_EQ(progress.maxima, std::vector<int>{200});
}

// --- Into the decoder ---------------------------------------------------------------

int32_t dibField(plat::MemHandle h, size_t offset) {
    plat::MemLock lock(h);
    int32_t v = 0;
    std::memcpy(&v, lock.as<uint8_t>() + offset, sizeof v);
    return v;
}

TEST_F(Downloads, DownloadedThumbnailGoesToTheDecoderAsItCame) {
    testsupport::TempRoot root;
    const Bytes jpeg = testsupport::encodeJpeg(testsupport::patternImage(80, 56, 3));
    ASSERT_LE(jpeg.size(), LARGEST_THUMBNAIL);
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    cameraAnnounces(p, Kind::Thumbnail, static_cast<uint32_t>(jpeg.size()));
    cameraSends(p, jpeg);
    ASSERT_EQ(run(Kind::Thumbnail, 0), LINK_OK);

    plat::MemBlock dib(link.decodePicture(DECODE_DISPLAY));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dibField(dib.get(), 4), 80);
    EXPECT_EQ(dibField(dib.get(), 8), 56);
    // Decoding leaves the download where it was.
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), link.downloadData()));
}

TEST_F(Downloads, FailedThumbnailDecodesAsTheBlankCell) {
    testsupport::TempRoot root;
    ScriptedPort& p = attach();
    link.assumeFirmware(4.0);
    tellBlockFailure = false;
    cameraAnnounces(p, Kind::Thumbnail, 500);
    ASSERT_EQ(run(Kind::Thumbnail, 0), LINK_BLOCK_FAILED);
    // What the thumbnail list does with a failed download.
    link.markThumbnailFailed(200);
    plat::MemBlock dib(link.decodePicture(DECODE_DISPLAY));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dibField(dib.get(), 4), 80);
    EXPECT_EQ(dibField(dib.get(), 8), 56);
}

TEST_F(Downloads, ARefusedDownloadNeverDecodesTheBufferOfAnEarlierOne) {
    testsupport::TempRoot root;
    const Bytes earlier = testsupport::encodeJpeg(testsupport::patternImage(64, 48, 3));
    ASSERT_LE(earlier.size(), LARGEST_THUMBNAIL);
    for (const auto& [kind, refused] :
         {std::pair{Kind::Picture, LARGEST_PICTURE + 1}, std::pair{Kind::Thumbnail, 13001u}}) {
        ScriptedPort& p = attach();
        link.assumeFirmware(4.0);
        cameraAnnounces(p, kind, static_cast<uint32_t>(earlier.size()));
        cameraSends(p, earlier);
        ASSERT_EQ(run(kind, 0), LINK_OK);
        cameraAnnounces(p, kind, refused);
        ASSERT_EQ(run(kind, 1), LINK_TOO_BIG);
        ASSERT_EQ(link.downloadSize(), static_cast<int32_t>(refused));

        // Neither past the buffer nor the earlier picture as this one: the
        // blank cell of a failed download.
        for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
            plat::MemBlock dib(link.decodePicture(mode));
            ASSERT_TRUE(dib);
            EXPECT_EQ(dibField(dib.get(), 4), 80);
            EXPECT_EQ(dibField(dib.get(), 8), 56);
        }
    }
    EXPECT_TRUE(root.prompts().empty());
}

}  // namespace
