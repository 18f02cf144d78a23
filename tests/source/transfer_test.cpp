// transfer_test.cpp — the memory and native transfers of a current image
// stored by the test: strips, limits, boxes, the 1000-call abort, the DIB
// handed over, the image information and the fetch-again flag.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>
#include "caps/packed_fields.h"

#include "image/native_dib.h"
#include "picture_blocks.h"
#include "source/transfer_state.h"
#include "source_fixture.h"

using testsupport::fullPicture;
using testsupport::patternByte;
using testsupport::patternRows;
using testsupport::SourceTest;

namespace {

class TransferTest : public SourceTest {
protected:
    void SetUp() override {
        SourceTest::SetUp();
        enterState(STATE_XFERREADY);
    }

    // One DAT_IMAGEMEMXFER with a buffer of `length` bytes given as a pointer.
    TW_UINT16 strip(TW_IMAGEMEMXFER& xfer, std::vector<std::uint8_t>& buffer, TW_UINT32 length) {
        buffer.assign(length, 0xEE);
        xfer = {};
        xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        xfer.Memory.Length = length;
        xfer.Memory.TheMem = buffer.data();
        return call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
    }

    // Every strip of the current image until TWRC_XFERDONE (or a failure);
    // the bytes received, in order.
    std::vector<std::uint8_t> allStrips(TW_UINT32 length, int* calls, TW_UINT16* last,
                                        std::vector<TW_IMAGEMEMXFER>* records = nullptr) {
        std::vector<std::uint8_t> got, buffer;
        *calls = 0;
        for (;;) {
            TW_IMAGEMEMXFER xfer;
            *last = strip(xfer, buffer, length);
            ++*calls;
            if (*last != TWRC_SUCCESS && *last != TWRC_XFERDONE) break;
            if (records) records->push_back(xfer);
            got.insert(got.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
            if (*last == TWRC_XFERDONE || *calls > 2000) break;
        }
        return got;
    }

    TW_UINT16 native(void* out) { return call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, out); }

    std::vector<testsupport::Prompt> boxesWith(const std::string& text) {
        std::vector<testsupport::Prompt> out;
        for (const auto& p : root.prompts())
            if (p.text == text) out.push_back(p);
        return out;
    }
};

TEST_F(TransferTest, StripsOfWholeRowsForBuffersWithinTheLimits) {
    const struct {
        TW_UINT32 length;
        int width, height;
        TW_UINT32 rowsPerStrip;
    } rows[] = {
        {1920, 640, 480, 1}, {2048, 640, 480, 1}, {1024, 320, 240, 1},
        {2048, 320, 240, 2}, {512, 100, 7, 1},  // 300 bytes per row: one row fits
        {1999, 333, 5, 2},                      // odd width: 999 bytes per row
    };
    for (const auto& row : rows) {
        SetUp();
        storeCurrentImage(fullPicture(row.width, row.height));
        int calls = 0;
        TW_UINT16 last = 0;
        std::vector<TW_IMAGEMEMXFER> records;
        const auto got = allStrips(row.length, &calls, &last, &records);
        const std::string where = std::to_string(row.width) + "x" + std::to_string(row.height) +
                                  " in " + std::to_string(row.length);
        ASSERT_EQ(last, TWRC_XFERDONE) << where;
        const TW_UINT32 bpr = static_cast<TW_UINT32>(row.width) * 3;
        const int expectedCalls = (row.height + static_cast<int>(row.rowsPerStrip) - 1) /
                                  static_cast<int>(row.rowsPerStrip);
        EXPECT_EQ(calls, expectedCalls) << where;
        EXPECT_TRUE(got == patternRows(row.width, row.height)) << where << ": top row first, RGB";
        for (std::size_t k = 0; k < records.size(); ++k) {
            const TW_IMAGEMEMXFER& x = records[k];
            const TW_UINT32 rowsHere =
                std::min<TW_UINT32>(row.rowsPerStrip, row.height - k * row.rowsPerStrip);
            EXPECT_EQ(valueOf(x.Compression), TWCP_NONE);
            EXPECT_EQ(valueOf(x.BytesPerRow), bpr);
            EXPECT_EQ(valueOf(x.Columns), static_cast<TW_UINT32>(valueOf(row.width)));
            EXPECT_EQ(valueOf(x.Rows), rowsHere) << where << " strip " << k;
            EXPECT_EQ(valueOf(x.XOffset), 0u);
            EXPECT_EQ(valueOf(x.YOffset), k * valueOf(row.rowsPerStrip)) << where << " strip " << k;
            EXPECT_EQ(valueOf(x.BytesWritten), rowsHere * bpr) << where << " strip " << k;
        }
        EXPECT_EQ(valueOf(g_transfer.currentImage), nullptr)
            << where << ": freed after the last strip";
        EXPECT_EQ(valueOf(g_transfer.bytesSent), 0u);
        EXPECT_EQ(valueOf(g_transfer.stripCalls), 0);
        EXPECT_TRUE(root.prompts().empty()) << where;
    }
}

TEST_F(TransferTest, BuffersOutsideTheLimitsAreRefusedQuietly) {
    for (TW_UINT32 length : {0u, 511u, 2049u, 4096u}) {
        SetUp();
        storeCurrentImage(fullPicture(640, 480));
        TW_IMAGEMEMXFER xfer;
        std::vector<std::uint8_t> buffer;
        EXPECT_EQ(strip(xfer, buffer, length), TWRC_FAILURE) << length;
        EXPECT_EQ(status(), TWCC_SUCCESS) << length;
        EXPECT_TRUE(root.prompts().empty()) << length;
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), static_cast<long>(length))
            << "nothing copied";
        EXPECT_EQ(valueOf(g_transfer.bytesSent), 0u);
        EXPECT_NE(valueOf(g_transfer.currentImage), nullptr);
    }
}

TEST_F(TransferTest, LimitsComeFromTheSourceControlFile) {
    root.write("windows/PXCM.src", "[Setup Memory Transfer]\r\nMin=4000\r\nMax=8000\r\n");
    storeCurrentImage(fullPicture(640, 480));
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(strip(xfer, buffer, 2048), TWRC_FAILURE) << "below this file's Min";
    ASSERT_EQ(strip(xfer, buffer, 4096), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(xfer.Rows), 2u);
    EXPECT_EQ(valueOf(xfer.BytesWritten), 3840u);
}

TEST_F(TransferTest, LimitsAreReadAtEachImagesFirstStrip) {
    // Each image in turn: the file as written before it, the buffer lengths of
    // its strips, and the answer expected for each of them.
    const struct {
        const char* file;  // null: as before
        std::vector<TW_UINT32> lengths;
        std::vector<TW_UINT16> answers;
    } images[] = {
        {"[Setup Memory Transfer]\r\nMin=512\r\nMax=2048\r\n",
         {2048, 2048},
         {TWRC_SUCCESS, TWRC_SUCCESS}},
        // Changed between two images: the next image's strips follow it.
        {"[Setup Memory Transfer]\r\nMin=4000\r\nMax=8000\r\n",
         {2048, 4096, 4096},
         {TWRC_FAILURE, TWRC_SUCCESS, TWRC_SUCCESS}},
        {"[Setup Memory Transfer]\r\nMin=512\r\nMax=1024\r\n",
         {2048, 1024},
         {TWRC_FAILURE, TWRC_SUCCESS}},
    };
    for (std::size_t i = 0; i < std::size(images); ++i) {
        root.write("windows/PXCM.src", images[i].file);
        storeCurrentImage(fullPicture(320, 240));
        for (std::size_t k = 0; k < images[i].lengths.size(); ++k) {
            TW_IMAGEMEMXFER xfer;
            std::vector<std::uint8_t> buffer;
            EXPECT_EQ(strip(xfer, buffer, images[i].lengths[k]), images[i].answers[k])
                << "image " << i << " strip " << k;
        }
    }
    // Changed in the middle of an image: its remaining strips keep the sizes
    // it started with, the next image takes the new ones.
    root.write("windows/PXCM.src", "[Setup Memory Transfer]\r\nMin=512\r\nMax=2048\r\n");
    storeCurrentImage(fullPicture(320, 240));
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(strip(xfer, buffer, 960), TWRC_SUCCESS);
    root.write("windows/PXCM.src", "[Setup Memory Transfer]\r\nMin=4000\r\nMax=8000\r\n");
    EXPECT_EQ(strip(xfer, buffer, 960), TWRC_SUCCESS) << "within the image's own limits";
    storeCurrentImage(fullPicture(320, 240));
    EXPECT_EQ(strip(xfer, buffer, 960), TWRC_FAILURE) << "the next image's limits";
}

TEST_F(TransferTest, ABufferSmallerThanARowShowsTheBox) {
    storeCurrentImage(fullPicture(640, 480));
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(strip(xfer, buffer, 1920), TWRC_SUCCESS);
    EXPECT_EQ(strip(xfer, buffer, 1024), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SUCCESS) << "no condition code";
    const auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Buffer is too small for strip transfers");
    EXPECT_EQ(prompts[0].caption, "Error") << "the platform's default caption";
    EXPECT_EQ(prompts[0].buttons, "ok");
    EXPECT_FALSE(prompts[0].owned);
    EXPECT_EQ(valueOf(g_transfer.bytesSent), 1920u) << "the strip position is unchanged";
    ASSERT_EQ(strip(xfer, buffer, 1920), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(xfer.YOffset), 1u);
}

TEST_F(TransferTest, MoreThanAThousandCallsAbortThePicture) {
    // 1200 rows of 200 pixels: one 600-byte row per strip.
    storeCurrentImage(fullPicture(200, 1200));
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(strip(xfer, buffer, 600), TWRC_SUCCESS) << k;
    EXPECT_EQ(valueOf(xfer.YOffset), 999u);
    EXPECT_TRUE(root.prompts().empty());

    EXPECT_EQ(strip(xfer, buffer, 600), TWRC_XFERDONE);
    EXPECT_EQ(valueOf(xfer.BytesWritten), 0u);
    const auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "The source aborts a memory transfer");
    EXPECT_EQ(prompts[0].caption, "Sample Source");
    EXPECT_FALSE(prompts[0].owned);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), 600) << "nothing copied";
    ASSERT_NE(valueOf(g_transfer.currentImage), nullptr) << "the picture stays";

    ASSERT_EQ(strip(xfer, buffer, 600), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(xfer.YOffset), 0u) << "it starts again at its first row";
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), patternRows(200, 1).begin()));
}

TEST_F(TransferTest, TheAbortCountsCallsOfAnyMessage) {
    g_transfer.stripCalls = 1000;
    TW_IMAGEMEMXFER xfer{};
    xfer.BytesWritten = 77;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_SET, &xfer), TWRC_XFERDONE);
    EXPECT_EQ(valueOf(xfer.BytesWritten), 0u);
    EXPECT_EQ(valueOf(g_transfer.stripCalls), 0);
}

TEST_F(TransferTest, ANewCurrentImageStartsAtItsFirstRow) {
    storeCurrentImage(fullPicture(640, 480));
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    for (int k = 0; k < 300; ++k) ASSERT_EQ(strip(xfer, buffer, 1920), TWRC_SUCCESS);
    // Abandoned midway; a smaller picture replaces it.
    storeCurrentImage(fullPicture(320, 240));
    EXPECT_EQ(valueOf(g_transfer.bytesSent), 0u);
    EXPECT_EQ(valueOf(g_transfer.stripCalls), 0);
    int calls = 0;
    TW_UINT16 last = 0;
    const auto got = allStrips(1920, &calls, &last);
    EXPECT_EQ(last, TWRC_XFERDONE);
    EXPECT_EQ(calls, 120) << "two 960-byte rows per strip, from row 0";
    EXPECT_TRUE(got == patternRows(320, 240));
}

TEST_F(TransferTest, NoStripReadsPastTheBlock) {
    const struct {
        const char* what;
        DibHeader header;
        int rowsHeld;
    } rows[] = {
        {"height beyond the block", testsupport::fullPictureHeader(64, 400), 10},
        {"colour table beyond the block",
         [] {
             DibHeader h = testsupport::fullPictureHeader(64, 10);
             h.biClrUsed = 0x40000000u;
             return h;
         }(),
         10},
        {"not an information header",
         [] {
             DibHeader h = testsupport::fullPictureHeader(64, 10);
             h.biSize = 12;
             return h;
         }(),
         10},
        {"zero width", testsupport::fullPictureHeader(0, 10), 10},
    };
    for (const auto& row : rows) {
        SetUp();
        storeCurrentImage(testsupport::pictureBlock(row.header, patternRows(64, row.rowsHeld)));
        int calls = 0;
        TW_UINT16 last = 0;
        allStrips(2048, &calls, &last);
        EXPECT_EQ(last, TWRC_FAILURE) << valueOf(row.what);
        EXPECT_EQ(calls, 1) << valueOf(row.what) << ": refused at the first strip";
        EXPECT_EQ(status(), TWCC_BUMMER) << valueOf(row.what);
    }
    // A position past the end of the picture (not made by any transfer).
    SetUp();
    storeCurrentImage(fullPicture(64, 10));
    g_transfer.bytesSent = 64 * 3 * 10;
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(strip(xfer, buffer, 2048), TWRC_FAILURE);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), 2048);
}

TEST_F(TransferTest, ABufferGivenAsAHandleIsWrittenThroughItsLock) {
    storeCurrentImage(fullPicture(640, 2));
    plat::MemBlock buffer(plat::memAlloc(1920, true));
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory.Flags = TWMF_APPOWNS | TWMF_HANDLE;
    xfer.Memory.Length = 1920;
    xfer.Memory.TheMem = buffer.get();
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_XFERDONE);
    plat::MemLock lock(buffer.get());
    const auto expected = patternRows(640, 2);
    EXPECT_TRUE(std::equal(expected.begin() + 1920, expected.end(), lock.as<std::uint8_t>()))
        << "the second row, in the handle's block";

    // A handle smaller than the length it claims, and no buffer at all.
    storeCurrentImage(fullPicture(640, 2));
    plat::MemBlock small(plat::memAlloc(16, true));
    xfer.Memory.Length = 1920;
    xfer.Memory.TheMem = small.get();
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    xfer.Memory.TheMem = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(valueOf(g_transfer.bytesSent), 0u) << "nothing counted as sent";
}

// The DIB that a native transfer hands over, read back.
struct HandedOver {
    DibHeader header;
    std::vector<std::uint8_t> bits;
    std::size_t blockSize;
};

HandedOver readDib(TW_HANDLE h) {
    HandedOver out{};
    plat::MemLock lock(h);
    std::memcpy(&out.header, lock.get(), sizeof out.header);
    out.blockSize = plat::memSize(h);
    const auto* p = lock.as<std::uint8_t>() + sizeof(DibHeader);
    out.bits.assign(p, p + (out.blockSize - sizeof(DibHeader)));
    return out;
}

TEST_F(TransferTest, NativeTransferOfThreeRowsSwapsTheOuterRowsAndTurnsEveryPixel) {
    storeCurrentImage(fullPicture(4, 3));
    TW_HANDLE h = nullptr;
    ASSERT_EQ(native(&h), TWRC_XFERDONE);
    ASSERT_NE(h, nullptr);
    const HandedOver dib = readDib(h);
    for (int fileRow = 0; fileRow < 3; ++fileRow)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(valueOf(dib.bits)[fileRow * 12 + x * 3 + c],
                          patternByte(x, 2 - fileRow, 2 - c))
                    << "row " << fileRow << " pixel " << x << " byte " << c;
    EXPECT_EQ(valueOf(g_transfer.currentImage), nullptr) << "the handle is the application's now";
    plat::memFree(h);
}

TEST_F(TransferTest, NativeDibsAreWellFormedForEveryWidth) {
    const struct {
        int width, height;
        std::uint32_t sizeImage;  // biSizeImage handed over
    } rows[] = {
        {640, 480, 0},  // rows need no padding: the header as decoded
        {320, 240, 0},          {4, 1, 0},
        {333, 211, 1000 * 211},                // 999 bytes per row, padded to 1000
        {1, 5, 4 * 5},          {2000, 3, 0},  // wider than any camera picture
        {2001, 3, 6004 * 3},    {5, 4, 16 * 4},
    };
    for (const auto& row : rows) {
        SetUp();
        storeCurrentImage(fullPicture(row.width, row.height));
        TW_HANDLE h = nullptr;
        const std::string where = std::to_string(row.width) + "x" + std::to_string(row.height);
        ASSERT_EQ(native(&h), TWRC_XFERDONE) << where;
        const HandedOver dib = readDib(h);
        DibHeader expected = testsupport::fullPictureHeader(row.width, row.height);
        expected.biSizeImage = row.sizeImage;
        EXPECT_EQ(std::memcmp(&dib.header, &expected, sizeof expected), 0) << where;
        const std::size_t stride = (static_cast<std::size_t>(row.width) * 3 + 3) / 4 * 4;
        ASSERT_GE(dib.bits.size(), stride * valueOf(row.height)) << where;
        bool pixels = true, padding = true;
        for (int fileRow = 0; fileRow < row.height; ++fileRow) {
            const std::uint8_t* r = dib.bits.data() + fileRow * stride;
            for (int x = 0; x < row.width; ++x)
                for (int c = 0; c < 3; ++c)
                    pixels =
                        pixels && r[x * 3 + c] == patternByte(x, row.height - 1 - fileRow, 2 - c);
            for (std::size_t k = static_cast<std::size_t>(row.width) * 3; k < stride; ++k)
                padding = padding && r[k] == 0;
        }
        EXPECT_TRUE(pixels) << where << ": bottom-up, blue, green, red";
        EXPECT_TRUE(padding) << where << ": padding bytes are 0";
        plat::memFree(h);
    }
}

TEST_F(TransferTest, TheHandleIsWrittenWithThePlatformsHandleWidth) {
    storeCurrentImage(fullPicture(8, 2));
    unsigned char out[16];
    std::memset(out, 0xAB, sizeof out);
    ASSERT_EQ(native(out), TWRC_XFERDONE);
    TW_HANDLE h;
    std::memcpy(&h, out, sizeof h);
    ASSERT_NE(h, nullptr);
    plat::MemBlock owned(h);  // the application's now: it frees the DIB
    for (std::size_t k = sizeof(TW_HANDLE); k < sizeof out; ++k)
        EXPECT_EQ(out[k], 0xAB) << "byte " << k << " beyond the handle";
    plat::MemLock lock(h);
    ASSERT_TRUE(lock);
    EXPECT_EQ(valueOf(lock.as<DibHeader>()->biWidth), 8) << "a handle that locks to the DIB";
}

TEST_F(TransferTest, NativeTransferOutsideStateSixOrOfABrokenPictureFails) {
    g_source.protocolState = STATE_ENABLED;
    storeCurrentImage(fullPicture(8, 2));
    TW_HANDLE h = nullptr;
    EXPECT_EQ(native(&h), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_NE(valueOf(g_transfer.currentImage), nullptr);

    g_source.protocolState = STATE_XFERREADY;
    DibHeader broken = testsupport::fullPictureHeader(8, 50);  // 2 rows held
    storeCurrentImage(testsupport::pictureBlock(broken, patternRows(8, 2)));
    EXPECT_EQ(native(&h), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BUMMER);
    EXPECT_EQ(h, nullptr);
}

TEST_F(TransferTest, WithoutAPictureTransfersFailQuietlyAndSetTheFetchAgainFlag) {
    g_transfer.fetchAgain = FALSE;
    TW_HANDLE h = nullptr;
    EXPECT_EQ(native(&h), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), TRUE);

    g_transfer.fetchAgain = FALSE;
    TW_IMAGEMEMXFER xfer;
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(strip(xfer, buffer, 1920), TWRC_FAILURE);
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), TRUE);
    EXPECT_TRUE(root.prompts().empty());
}

// A held picture (this transfer's) is described without a fetch, also after
// it was handed over; with none held the fetch fails (no camera window) and
// the no-picture answer comes, until MSG_ENDXFER the description stays.
TEST_F(TransferTest, ImageInfoDescribesTheHeldPictureAndFetchesOnlyWithoutOne) {
    TW_IMAGEINFO info{};
    info.SamplesPerPixel = 9;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(valueOf(info.ImageWidth), 640);
    EXPECT_EQ(valueOf(info.ImageLength), 480);
    EXPECT_EQ(valueOf(info.SamplesPerPixel), 9) << "the other fields stay unwritten";
    EXPECT_EQ(valueOf(info.XResolution.Whole), 0);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_TRUE(root.prompts().empty());
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), FALSE) << "cleared by the failed fetch";

    storeCurrentImage(fullPicture(320, 240));
    for (const char* when : {"held", "handed over"}) {
        info = {};
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS) << when;
        EXPECT_EQ(valueOf(info.ImageWidth), 320) << when;
        EXPECT_EQ(valueOf(info.ImageLength), 240) << when;
        EXPECT_EQ(valueOf(info.SamplesPerPixel), 3) << when;
        TW_HANDLE dib = nullptr;
        if (g_transfer.currentImage) {
            ASSERT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
            plat::memFree(dib);
        }
    }
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    g_source.protocolState = STATE_XFERREADY;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE) << "after MSG_ENDXFER";
    EXPECT_EQ(valueOf(info.ImageWidth), 640);
}

TEST(NativeDib, FlipInPlaceKeepsAnOddMiddleRowAndTurnsItsPixels) {
    for (std::uint32_t height : {1u, 2u, 3u, 5u}) {
        auto rows = patternRows(3, static_cast<int>(height));
        flipToBottomUpBgr(rows.data(), 3, height);
        for (std::uint32_t r = 0; r < height; ++r)
            for (int x = 0; x < 3; ++x)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(rows[(r * 3 + x) * 3 + c],
                              patternByte(x, static_cast<int>(height - 1 - r), 2 - c))
                        << height << " rows: row " << r;
    }
}

}  // namespace
