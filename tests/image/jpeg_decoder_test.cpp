// jpeg_decoder_test.cpp — decodePicture against libjpeg's own decoding: the
// layouts, the blank picture, grey and odd-width pictures, damaged files.
#include "image/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/dib.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"

namespace {

using testsupport::RawImage;

class DecodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tmp_ = root_.file("tmp");
        std::filesystem::create_directories(tmp_);
        const char* old = std::getenv("TMPDIR");
        hadTmp_ = old != nullptr;
        if (old) oldTmp_ = old;
        setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_)
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    static plat::MemBlock decode(const std::vector<std::uint8_t>& data, int mode) {
        return plat::MemBlock(decodePicture(data.data(), data.size(), mode));
    }

    std::vector<testsupport::Prompt> jpegBoxes() const {
        std::vector<testsupport::Prompt> out;
        for (const auto& p : root_.prompts())
            if (p.caption == JPEG_ERROR_CAPTION) out.push_back(p);
        return out;
    }

    testsupport::TempRoot root_;
    std::string tmp_;
    bool hadTmp_ = false;
    std::string oldTmp_;
};

DibHeader headerOf(const plat::MemBlock& block) {
    DibHeader h{};
    std::memcpy(&h, plat::memLock(block.get()), sizeof h);
    plat::memUnlock(block.get());
    return h;
}

const std::uint8_t* pixelsOf(const plat::MemBlock& block) {
    return static_cast<const std::uint8_t*>(plat::memLock(block.get())) + DIB_HEADER_SIZE;
}

// Checks a decoded block against libjpeg's RGB rows, in the mode's layout.
void expectSamePixels(const plat::MemBlock& block, const RawImage& ref, int mode) {
    ASSERT_TRUE(block);
    ASSERT_GE(plat::memSize(block.get()), DIB_HEADER_SIZE + ref.pixels.size());
    const DibHeader h = headerOf(block);
    ASSERT_EQ(h.biWidth, ref.width);
    ASSERT_EQ(h.biHeight, ref.height);
    const std::uint8_t* px = pixelsOf(block);
    if (mode == DECODE_FULL_PICTURE) {
        EXPECT_EQ(0, std::memcmp(px, ref.pixels.data(), ref.pixels.size()));
        return;
    }
    const std::size_t line = static_cast<std::size_t>(ref.width) * 3;
    int bad = 0;
    for (int r = 0; r < ref.height && bad < 5; ++r) {
        const std::uint8_t* row = px + static_cast<std::size_t>(ref.height - 1 - r) * line;
        for (int x = 0; x < ref.width; ++x) {
            const std::uint8_t* want = ref.at(x, r);
            if (row[3 * x] != want[2] || row[3 * x + 1] != want[1] || row[3 * x + 2] != want[0]) {
                ADD_FAILURE() << "display pixel (" << x << "," << r << ") differs";
                ++bad;
                break;
            }
        }
    }
}

TEST_F(DecodeTest, ShortDownloadsGiveTheBlankWhiteCellWithoutLibjpeg) {
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(64, 48, 3));
    ASSERT_GT(jpeg.size(), 300u);
    const std::vector<std::uint8_t> prefix(jpeg.begin(), jpeg.begin() + 235);
    for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
        for (const auto& data : {prefix, std::vector<std::uint8_t>{}}) {
            plat::MemBlock block = decode(data, mode);
            ASSERT_TRUE(block);
            ASSERT_GE(plat::memSize(block.get()), 13480u);
            const auto* p = static_cast<const std::uint8_t*>(plat::memLock(block.get()));
            const std::uint8_t header[16] = {40, 0, 0, 0, 80, 0, 0, 0, 56, 0, 0, 0, 1, 0, 24, 0};
            EXPECT_EQ(0, std::memcmp(p, header, sizeof header));
            for (int i = 16; i < 40; ++i) EXPECT_EQ(p[i], 0) << "header byte " << i;
            for (int i = 40; i < 13480; ++i)
                if (p[i] != 0xFF) {
                    ADD_FAILURE() << "pixel byte " << i << " is not white";
                    break;
                }
        }
    }
    EXPECT_TRUE(root_.prompts().empty());
}

TEST_F(DecodeTest, ADownloadOfExactly236BytesGoesToLibjpeg) {
    testsupport::JpegOptions small;
    small.optimize = true;
    small.quality = 50;
    auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(8, 8, 1), small);
    ASSERT_LT(jpeg.size(), 236u);
    const RawImage ref = testsupport::referenceDecode(jpeg);
    jpeg.resize(236, 0);  // bytes after the end marker are never read
    plat::MemBlock block = decode(jpeg, DECODE_FULL_PICTURE);
    expectSamePixels(block, ref, DECODE_FULL_PICTURE);
    EXPECT_TRUE(root_.prompts().empty());

    const std::vector<std::uint8_t> zeros(236, 0);
    EXPECT_FALSE(decode(zeros, DECODE_DISPLAY));
    const auto boxes = jpegBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Not a JPEG file: starts with 0x00 0x00");
    EXPECT_EQ(boxes[0].buttons, "ok");
}

TEST_F(DecodeTest, A640x480PictureInBothLayouts) {
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(640, 480, 3, 7));
    const RawImage ref = testsupport::referenceDecode(jpeg);
    plat::MemBlock full = decode(jpeg, DECODE_FULL_PICTURE);
    plat::MemBlock display = decode(jpeg, DECODE_DISPLAY);
    expectSamePixels(full, ref, DECODE_FULL_PICTURE);
    expectSamePixels(display, ref, DECODE_DISPLAY);

    for (const auto* block : {&full, &display}) {
        const DibHeader h = headerOf(*block);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, 24);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, 0u);
        EXPECT_EQ(h.biXPelsPerMeter, 4000);
        EXPECT_EQ(h.biYPelsPerMeter, 4000);
        EXPECT_EQ(h.biClrUsed, 0u);
        EXPECT_EQ(h.biClrImportant, 0u);
    }
    // The first row in memory: the top line in R, G, B for the full picture,
    // the bottom line in B, G, R for display.
    const std::uint8_t* top = pixelsOf(full);
    EXPECT_EQ(0, std::memcmp(top, ref.at(0, 0), 3));
    const std::uint8_t* bottom = pixelsOf(display);
    const std::uint8_t* want = ref.at(0, 479);
    EXPECT_EQ(bottom[0], want[2]);
    EXPECT_EQ(bottom[1], want[1]);
    EXPECT_EQ(bottom[2], want[0]);
}

TEST_F(DecodeTest, RowsAreExactlyThreeBytesAPixelForAnyWidth) {
    for (int width : {81, 83, 1, 17}) {
        const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(width, 9, 3, width));
        const RawImage ref = testsupport::referenceDecode(jpeg);
        expectSamePixels(decode(jpeg, DECODE_FULL_PICTURE), ref, DECODE_FULL_PICTURE);
        expectSamePixels(decode(jpeg, DECODE_DISPLAY), ref, DECODE_DISPLAY);
    }
}

TEST_F(DecodeTest, ProgressiveAndLowQualityPicturesMatchLibjpeg) {
    testsupport::JpegOptions progressive;
    progressive.progressive = true;
    testsupport::JpegOptions rough;
    rough.quality = 20;
    for (const auto& options : {progressive, rough}) {
        const auto jpeg =
            testsupport::encodeJpeg(testsupport::patternImage(120, 90, 3, 3), options);
        const RawImage ref = testsupport::referenceDecode(jpeg);
        expectSamePixels(decode(jpeg, DECODE_FULL_PICTURE), ref, DECODE_FULL_PICTURE);
        expectSamePixels(decode(jpeg, DECODE_DISPLAY), ref, DECODE_DISPLAY);
    }
    EXPECT_TRUE(root_.prompts().empty());
}

TEST_F(DecodeTest, GreyPicturesDecodeToGreyPixels) {
    const RawImage grey = testsupport::patternImage(100, 60, 1, 5);
    const auto jpeg = testsupport::encodeJpeg(grey);
    const RawImage ref = testsupport::referenceDecode(jpeg);
    bool anyBright = false;
    for (std::size_t i = 0; i < ref.pixels.size(); i += 3) {
        ASSERT_EQ(ref.pixels[i], ref.pixels[i + 1]);
        ASSERT_EQ(ref.pixels[i], ref.pixels[i + 2]);
        anyBright = anyBright || ref.pixels[i] > 64;
    }
    ASSERT_TRUE(anyBright);
    expectSamePixels(decode(jpeg, DECODE_FULL_PICTURE), ref, DECODE_FULL_PICTURE);
    expectSamePixels(decode(jpeg, DECODE_DISPLAY), ref, DECODE_DISPLAY);
}

TEST_F(DecodeTest, PicturesLibjpegCannotMakeRgbOfAreRefusedWithTheBox) {
    testsupport::JpegOptions cmyk;
    cmyk.cmyk = true;
    testsupport::JpegOptions ycck;
    ycck.ycck = true;
    const struct {
        const char* name;
        int components;
        testsupport::JpegOptions options;
    } cases[] = {{"CMYK", 4, cmyk}, {"YCCK", 4, ycck}, {"two components", 2, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto jpeg =
            testsupport::encodeJpeg(testsupport::patternImage(32, 16, c.components), c.options);
        for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
            root_.clearPrompts();
            EXPECT_FALSE(decode(jpeg, mode));
            const auto boxes = jpegBoxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Unsupported color conversion request");
        }
    }
}

TEST_F(DecodeTest, NoTemporaryFileIsMadeOrTouched) {
    // A file of the name that a file-based decoder would use stays as it is.
    { std::ofstream(tmp_ + "/xfrimg.jpg") << "keep"; }
    const auto before = testsupport::listFolder(tmp_);
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(64, 64, 3));
    EXPECT_TRUE(decode(jpeg, DECODE_DISPLAY));
    EXPECT_TRUE(decode(jpeg, DECODE_FULL_PICTURE));
    std::vector<std::uint8_t> truncated(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    EXPECT_FALSE(decode(truncated, DECODE_FULL_PICTURE));
    EXPECT_EQ(testsupport::listFolder(tmp_), before);
    std::ifstream in(tmp_ + "/xfrimg.jpg");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "keep");
}

TEST_F(DecodeTest, TruncatedPicturesAreRefusedAfterTheBox) {
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(160, 120, 3));
    const std::vector<std::uint8_t> half(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
        root_.clearPrompts();
        EXPECT_FALSE(decode(half, mode));
        const auto boxes = jpegBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Premature end of JPEG file");
    }
}

TEST_F(DecodeTest, APictureMissingOnlyItsEndMarkerIsKept) {
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(48, 32, 3));
    ASSERT_EQ(jpeg[jpeg.size() - 2], 0xFF);
    ASSERT_EQ(jpeg[jpeg.size() - 1], 0xD9);
    const RawImage ref = testsupport::referenceDecode(jpeg);
    const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.end() - 2);
    expectSamePixels(decode(cut, DECODE_FULL_PICTURE), ref, DECODE_FULL_PICTURE);
    const auto boxes = jpegBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Premature end of JPEG file");
}

// Offset of the entropy-coded data: just after the SOS segment.
std::size_t scanDataStart(const std::vector<std::uint8_t>& jpeg) {
    for (std::size_t i = 2; i + 3 < jpeg.size();) {
        if (jpeg[i] != 0xFF) return 0;
        const std::size_t length = static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
        if (jpeg[i + 1] == 0xDA) return i + 2 + length;
        i += 2 + length;
    }
    return 0;
}

// The SOF0 marker's height and width fields.
std::size_t frameHeader(const std::vector<std::uint8_t>& jpeg) {
    for (std::size_t i = 2; i + 3 < jpeg.size();) {
        if (jpeg[i + 1] == 0xC0) return i + 5;
        i += 2 + static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
    }
    return 0;
}

TEST_F(DecodeTest, DamagedScanDataIsRefusedAfterTheBox) {
    testsupport::JpegOptions restarts;
    restarts.restartRows = 1;
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(160, 120, 3), restarts);
    const std::size_t start = scanDataStart(jpeg);
    ASSERT_GT(start, 0u);
    // The second restart marker (RST1) renumbered: the rows after it are lost.
    auto renumbered = jpeg;
    int seen = 0;
    for (std::size_t i = start; i + 1 < renumbered.size(); ++i)
        if (renumbered[i] == 0xFF && renumbered[i + 1] == 0xD1 && ++seen == 1)
            renumbered[i + 1] = 0xD5;
    ASSERT_EQ(seen, 1);
    // A marker in the middle of the data: the segment ends early.
    auto interrupted = jpeg;
    const std::uint8_t marker[] = {0xFF, 0xC4, 0x00, 0x02};
    interrupted.insert(interrupted.begin() + static_cast<std::ptrdiff_t>(start + 40), marker,
                       marker + 4);
    for (const auto* damaged : {&renumbered, &interrupted}) {
        root_.clearPrompts();
        EXPECT_FALSE(decode(*damaged, DECODE_FULL_PICTURE));
        const auto boxes = jpegBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("Corrupt JPEG data", 0), 0u) << boxes[0].text;
    }
}

// Offset of the first marker `code` (its 0xFF byte) among the segments before
// the scan data.
std::size_t markerOffset(const std::vector<std::uint8_t>& jpeg, std::uint8_t code) {
    for (std::size_t i = 2; i + 3 < jpeg.size();) {
        if (jpeg[i] != 0xFF) return 0;
        if (jpeg[i + 1] == code) return i;
        i += 2 + static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
    }
    return 0;
}

TEST_F(DecodeTest, WarningsThatLoseNoPixelKeepThePicture) {
    testsupport::JpegOptions restarts;
    restarts.restartRows = 1;
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(96, 64, 3, 4), restarts);
    const RawImage ref = testsupport::referenceDecode(jpeg);
    const std::size_t sos = markerOffset(jpeg, 0xDA);
    const std::size_t data = scanDataStart(jpeg);
    ASSERT_GT(sos, 0u);
    std::size_t rst0 = 0;
    for (std::size_t i = data; i + 1 < jpeg.size() && !rst0; ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xD0) rst0 = i;
    ASSERT_GT(rst0, 0u);
    const std::uint8_t zeros[3] = {0, 0, 0};

    auto padded = jpeg;  // three zero bytes before the start of scan
    padded.insert(padded.begin() + static_cast<std::ptrdiff_t>(sos), zeros, zeros + 3);
    auto paddedRestart = jpeg;  // and before the first restart marker
    paddedRestart.insert(paddedRestart.begin() + static_cast<std::ptrdiff_t>(rst0), zeros,
                         zeros + 3);
    auto oddSpectrum = jpeg;  // a sequential scan that claims to end at coefficient 62
    oddSpectrum[sos + 5 + 2 * jpeg[sos + 4] + 1] = 62;

    const struct {
        const std::vector<std::uint8_t>* data;
        const char* box;
    } cases[] = {
        {&padded, "Corrupt JPEG data: 3 extraneous bytes before marker 0xda"},
        {&paddedRestart, "Corrupt JPEG data: 3 extraneous bytes before marker 0xd0"},
        {&oddSpectrum, "Invalid SOS parameters for sequential JPEG"},
    };
    for (const auto& c : cases) {
        for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
            SCOPED_TRACE(c.box);
            root_.clearPrompts();
            expectSamePixels(decode(*c.data, mode), ref, mode);
            const auto boxes = jpegBoxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.box);
        }
    }
}

TEST_F(DecodeTest, AbsurdSizesAreRefusedBeforeAnyLargeAllocation) {
    auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(64, 48, 3));
    const std::size_t sof = frameHeader(jpeg);
    ASSERT_GT(sof, 0u);
    for (auto [height, width] :
         {std::pair{60000, 60000}, std::pair{48, 8193}, std::pair{8193, 64}}) {
        jpeg[sof] = static_cast<std::uint8_t>(height >> 8);
        jpeg[sof + 1] = static_cast<std::uint8_t>(height);
        jpeg[sof + 2] = static_cast<std::uint8_t>(width >> 8);
        jpeg[sof + 3] = static_cast<std::uint8_t>(width);
        EXPECT_FALSE(decode(jpeg, DECODE_FULL_PICTURE)) << width << " x " << height;
    }
}

TEST_F(DecodeTest, AHarmlessWarningIsShownAndThePictureKept) {
    testsupport::JpegOptions v2;
    v2.jfifMajor = 2;
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(40, 30, 3), v2);
    const RawImage ref = testsupport::referenceDecode(jpeg);
    expectSamePixels(decode(jpeg, DECODE_FULL_PICTURE), ref, DECODE_FULL_PICTURE);
    const auto boxes = jpegBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("Warning: unknown JFIF revision number 2.", 0), 0u)
        << boxes[0].text;
}

TEST_F(DecodeTest, EveryTruncationOfASmallPictureFailsCleanly) {
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(24, 16, 3));
    // Cut inside the scan data (every row still to come): refused each time.
    const std::size_t start = scanDataStart(jpeg);
    ASSERT_GT(start, DECODE_MIN_JPEG_SIZE);
    for (std::size_t n = DECODE_MIN_JPEG_SIZE; n < start + 8; ++n) {
        const std::vector<std::uint8_t> cut(jpeg.begin(),
                                            jpeg.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(decode(cut, n % 2 ? DECODE_DISPLAY : DECODE_FULL_PICTURE)) << n << " bytes";
    }
    EXPECT_FALSE(jpegBoxes().empty());
}

TEST(CopyPixelRow, CopiesOrReversesEachPixelAtItsRow) {
    const std::uint8_t source[6] = {1, 2, 3, 4, 5, 6};
    std::vector<std::uint8_t> area(18, 0xEE);
    copyPixelRow(source, 2, area.data(), 1, false);
    copyPixelRow(source, 2, area.data(), 2, true);
    const std::vector<std::uint8_t> want = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 1, 2, 3,
                                            4,    5,    6,    3,    2,    1,    6, 5, 4};
    EXPECT_EQ(area, want);

    // Longer rows, in whole groups of four pixels and with every remainder;
    // nothing is written past the row.
    for (std::size_t count : {1u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 640u}) {
        std::vector<std::uint8_t> row(count * 3);
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<std::uint8_t>(i * 7 + 1);
        std::vector<std::uint8_t> out(row.size() + 4, 0xEE);
        copyPixelRow(row.data(), count, out.data(), 0, true);
        for (std::size_t p = 0; p < count; ++p)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(out[3 * p + c], row[3 * p + 2 - c]) << count << " pixels, pixel " << p;
        for (std::size_t i = row.size(); i < out.size(); ++i)
            EXPECT_EQ(out[i], 0xEE) << count << " pixels, byte " << i;
    }
}

}  // namespace
