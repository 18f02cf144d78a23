// picture_file_test.cpp — picture blocks as top-down rows and BMP files.
#include "image/picture_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "image/jpeg_decoder.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"

namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& v, std::size_t at) {
    std::uint32_t x;
    std::memcpy(&x, v.data() + at, 4);
    return x;
}

TEST(PictureFile, BothLayoutsGiveTheSameStandardBmp) {
    testsupport::TempRoot root;  // captures any box
    // 3 pixels a row: 9 bytes, padded to 12 in the file.
    const auto jpeg = testsupport::encodeJpeg(testsupport::patternImage(3, 20, 3), {});
    auto padded = jpeg;
    padded.resize(std::max<std::size_t>(jpeg.size(), DECODE_MIN_JPEG_SIZE), 0);
    const auto ref = testsupport::referenceDecode(jpeg);

    std::vector<std::uint8_t> files[2];
    for (int mode : {DECODE_DISPLAY, DECODE_FULL_PICTURE}) {
        plat::MemBlock block(decodePicture(padded.data(), padded.size(), mode));
        ASSERT_TRUE(block);
        plat::MemLock lock(block.get());
        PictureRows rows;
        ASSERT_TRUE(pictureRows(lock.get(), plat::memSize(block.get()), mode, &rows));
        EXPECT_EQ(rows.width, 3);
        EXPECT_EQ(rows.height, 20);
        EXPECT_EQ(rows.bgr, mode == DECODE_DISPLAY);
        files[mode] = encodeBmp(rows);
    }
    EXPECT_EQ(files[0], files[1]);

    const auto& bmp = files[0];
    ASSERT_EQ(bmp.size(), 54u + 12 * 20);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(read32(bmp, 2), bmp.size());
    EXPECT_EQ(read32(bmp, 10), 54u);
    EXPECT_EQ(read32(bmp, 14), 40u);
    EXPECT_EQ(read32(bmp, 18), 3u);
    EXPECT_EQ(read32(bmp, 22), 20u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(read32(bmp, 30), 0u);
    EXPECT_EQ(read32(bmp, 34), 12u * 20);
    // File row k is picture row 19 - k, blue first, three zero bytes after.
    for (int k = 0; k < 20; ++k) {
        const std::uint8_t* row = bmp.data() + 54 + 12 * k;
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* want = ref.at(x, 19 - k);
            EXPECT_EQ(row[3 * x], want[2]);
            EXPECT_EQ(row[3 * x + 1], want[1]);
            EXPECT_EQ(row[3 * x + 2], want[0]);
        }
        EXPECT_EQ(row[9] | row[10] | row[11], 0);
    }
}

TEST(PictureFile, RefusesBlocksThatAreNotPictures) {
    std::vector<std::uint8_t> block(40 + 4 * 3 * 2, 0);
    const std::uint32_t size = 40, width = 4, height = 2;
    const std::uint16_t planes = 1, bits = 24;
    std::memcpy(&block[0], &size, 4);
    std::memcpy(&block[4], &width, 4);
    std::memcpy(&block[8], &height, 4);
    std::memcpy(&block[12], &planes, 2);
    std::memcpy(&block[14], &bits, 2);
    PictureRows rows;
    EXPECT_TRUE(pictureRows(block.data(), block.size(), DECODE_FULL_PICTURE, &rows));
    EXPECT_FALSE(pictureRows(block.data(), block.size() - 1, DECODE_FULL_PICTURE, &rows));
    EXPECT_FALSE(pictureRows(block.data(), 39, DECODE_FULL_PICTURE, &rows));
    EXPECT_FALSE(pictureRows(nullptr, block.size(), DECODE_FULL_PICTURE, &rows));
    block[14] = 8;
    EXPECT_FALSE(pictureRows(block.data(), block.size(), DECODE_FULL_PICTURE, &rows));
    block[14] = 24;
    block[8] = 0;
    EXPECT_FALSE(pictureRows(block.data(), block.size(), DECODE_FULL_PICTURE, &rows));
    EXPECT_TRUE(encodeBmp(PictureRows{}).empty());
}

}  // namespace
