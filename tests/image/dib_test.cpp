// dib_test.cpp — colour tables, bits and heights of packed DIBs, DibInfo.
#include "image/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                     std::uint32_t colorsUsed) {
    DibHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biClrUsed = colorsUsed;
    std::vector<std::uint8_t> block(4096, 0);
    std::memcpy(block.data(), &h, sizeof h);
    return block;
}

std::vector<std::uint8_t> coreHeader(std::uint16_t width, std::uint16_t height,
                                     std::uint16_t bits) {
    std::vector<std::uint8_t> block(4096, 0);
    const std::uint32_t size = 12;
    std::memcpy(block.data(), &size, 4);
    std::memcpy(block.data() + 4, &width, 2);
    std::memcpy(block.data() + 6, &height, 2);
    const std::uint16_t planes = 1;
    std::memcpy(block.data() + 8, &planes, 2);
    std::memcpy(block.data() + 10, &bits, 2);
    return block;
}

TEST(DibGeometry, ColourTablesOfInformationHeaders) {
    struct Case {
        std::uint16_t bits;
        std::uint32_t used;
        TW_UINT16 colors;
    };
    for (const Case c :
         {Case{24, 0, 0}, Case{8, 0, 256}, Case{8, 20, 20}, Case{4, 0, 16}, Case{1, 0, 2},
          Case{32, 0, 0}, Case{16, 0, 0}, Case{24, 3, 3}, Case{8, 0x10005, 5}}) {
        const auto block = infoHeader(80, 56, c.bits, c.used);
        EXPECT_EQ(DibNumColors(block.data()), c.colors) << c.bits << " bits, " << c.used << " used";
        EXPECT_EQ(PaletteSize(block.data()), c.colors * 4);
        EXPECT_EQ(dibBits(block.data()), block.data() + 40 + c.colors * 4);
    }
}

TEST(DibGeometry, The8BitColourTableSizes) {
    EXPECT_EQ(PaletteSize(infoHeader(10, 10, 8, 0).data()), 1024);
    EXPECT_EQ(PaletteSize(infoHeader(10, 10, 8, 20).data()), 80);
    // A 24-bit picture of the decoder has its bits right after the header.
    auto picture = infoHeader(80, 56, 24, 0);
    EXPECT_EQ(dibBits(picture.data()) - picture.data(), 40);
}

TEST(DibGeometry, CoreHeadersHaveThreeByteEntriesAndShortFields) {
    const auto block = coreHeader(300, 200, 8);
    EXPECT_EQ(DibNumColors(block.data()), 256);
    EXPECT_EQ(PaletteSize(block.data()), 768);
    EXPECT_EQ(dibBits(block.data()), block.data() + 12 + 768);
    EXPECT_EQ(dibHeight(block.data()), 200);
    EXPECT_EQ(PaletteSize(coreHeader(1, 1, 4).data()), 48);
    EXPECT_EQ(PaletteSize(coreHeader(1, 1, 24).data()), 0);
    EXPECT_EQ(dibHeight(infoHeader(640, 480, 24, 0).data()), 480);
    EXPECT_EQ(dibHeight(infoHeader(640, -480, 24, 0).data()), -480);
}

plat::MemHandle blockOf(const std::vector<std::uint8_t>& bytes) {
    plat::MemHandle h = plat::memAlloc(bytes.size(), false);
    std::memcpy(plat::memLock(h), bytes.data(), bytes.size());
    plat::memUnlock(h);
    return h;
}

TEST(DibInfoTest, FillsTheImageSizeAndColoursUsedOfInformationHeaders) {
    DibHeader out{};
    EXPECT_EQ(DibInfo(nullptr, &out), FALSE);

    // 81 pixels of 24 bits: 243 bytes, 244 with the padding of a device row.
    plat::MemBlock picture(blockOf(infoHeader(81, 7, 24, 0)));
    ASSERT_EQ(DibInfo(picture.get(), &out), TRUE);
    EXPECT_EQ(out.biSize, 40u);
    EXPECT_EQ(out.biWidth, 81);
    EXPECT_EQ(out.biHeight, 7);
    EXPECT_EQ(out.biSizeImage, 244u * 7);
    EXPECT_EQ(out.biClrUsed, 0u);

    plat::MemBlock paletted(blockOf(infoHeader(10, 3, 8, 0)));
    ASSERT_EQ(DibInfo(paletted.get(), &out), TRUE);
    EXPECT_EQ(out.biSizeImage, 12u * 3);
    EXPECT_EQ(out.biClrUsed, 256u);

    auto given = infoHeader(10, 3, 8, 20);
    const std::uint32_t sizeImage = 999;
    std::memcpy(given.data() + 20, &sizeImage, 4);
    plat::MemBlock kept(blockOf(given));
    ASSERT_EQ(DibInfo(kept.get(), &out), TRUE);
    EXPECT_EQ(out.biSizeImage, 999u);
    EXPECT_EQ(out.biClrUsed, 20u);
}

TEST(DibInfoTest, LeavesCoreHeadersAsTheyAre) {
    const auto core = coreHeader(16, 16, 8);
    plat::MemBlock block(blockOf(core));
    DibHeader out{};
    ASSERT_EQ(DibInfo(block.get(), &out), TRUE);
    EXPECT_EQ(out.biSize, 12u);
    EXPECT_EQ(0, std::memcmp(&out, core.data(), sizeof out));
}

}  // namespace
