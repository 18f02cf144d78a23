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

namespace {

// A 40-byte header for a block of `size` bytes, its fields set by `edit`.
template <typename Edit>
std::vector<std::uint8_t> editedHeader(std::size_t size, Edit edit) {
    DibHeader h{};
    h.biSize = 40;
    h.biWidth = 5;
    h.biHeight = 3;
    h.biPlanes = 1;
    h.biBitCount = 8;
    edit(h);
    std::vector<std::uint8_t> block(size, 0);
    std::memcpy(block.data(), &h, size < sizeof h ? size : sizeof h);
    return block;
}

}  // namespace

TEST(DibLayoutReader, GoodHeaders) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> block;
        DibLayout want;
    } cases[] = {
        {"8 bits, full table",
         editedHeader(40 + 1024 + 24, [](DibHeader&) {}),
         {40, 5, 3, true, 1, 8, 0, 256, 8, 40 + 1024, 40 + 1024 + 24}},
        {"24 bits top-down, no table",
         editedHeader(40 + 48,
                      [](DibHeader& h) {
                          h.biBitCount = 24;
                          h.biHeight = -3;
                      }),
         {40, 5, 3, false, 1, 24, 0, 0, 16, 40, 40 + 48}},
        {"4 bits, 3 colours used",
         editedHeader(40 + 12,
                      [](DibHeader& h) {
                          h.biBitCount = 4;
                          h.biClrUsed = 3;
                      }),
         {40, 5, 3, true, 1, 4, 0, 3, 4, 52, 52 + 12}},
        {"24 bits with a table of 2",
         editedHeader(48,
                      [](DibHeader& h) {
                          h.biBitCount = 24;
                          h.biClrUsed = 2;
                      }),
         {40, 5, 3, true, 1, 24, 0, 2, 16, 48, 48 + 48}},
        {"later header version",
         editedHeader(124 + 8,
                      [](DibHeader& h) {
                          h.biSize = 124;
                          h.biBitCount = 1;
                      }),
         {124, 5, 3, true, 1, 1, 0, 2, 4, 132, 132 + 12}},
        {"core header, 3-byte entries",
         coreHeader(7, 2, 4),
         {12, 7, 2, true, 1, 4, 0, 16, 4, 12 + 48, 12 + 48 + 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DibLayout d;
        ASSERT_TRUE(readDibLayout(c.block.data(), c.block.size(), &d));
        EXPECT_EQ(d.headerSize, c.want.headerSize);
        EXPECT_EQ(d.width, c.want.width);
        EXPECT_EQ(d.height, c.want.height);
        EXPECT_EQ(d.bottomUp, c.want.bottomUp);
        EXPECT_EQ(d.planes, c.want.planes);
        EXPECT_EQ(d.bitCount, c.want.bitCount);
        EXPECT_EQ(d.compression, c.want.compression);
        EXPECT_EQ(d.coloursUsed, c.want.coloursUsed);
        EXPECT_EQ(d.stride, c.want.stride);
        EXPECT_EQ(d.bitsOffset, c.want.bitsOffset);
        EXPECT_EQ(d.totalSize, c.want.totalSize);
    }
}

TEST(DibLayoutReader, BadHeadersFail) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> block;
    } cases[] = {
        {"shorter than the size field", std::vector<std::uint8_t>(3, 40)},
        {"shorter than the header", editedHeader(39, [](DibHeader&) {})},
        {"header size 20", editedHeader(2048, [](DibHeader& h) { h.biSize = 20; })},
        {"header size past the block", editedHeader(2048, [](DibHeader& h) { h.biSize = 4096; })},
        {"core header cut short",
         [] {
             auto b = coreHeader(7, 2, 4);
             b.resize(11);
             return b;
         }()},
        {"zero width", editedHeader(2048, [](DibHeader& h) { h.biWidth = 0; })},
        {"negative width", editedHeader(2048, [](DibHeader& h) { h.biWidth = -5; })},
        {"zero height", editedHeader(2048, [](DibHeader& h) { h.biHeight = 0; })},
        {"zero bit count", editedHeader(2048, [](DibHeader& h) { h.biBitCount = 0; })},
        {"bit count 48", editedHeader(2048, [](DibHeader& h) { h.biBitCount = 48; })},
        {"more colours than 8 bits index",
         editedHeader(4096, [](DibHeader& h) { h.biClrUsed = 257; })},
        {"colour table past the block", editedHeader(40 + 1023, [](DibHeader&) {})},
        {"huge colour count", editedHeader(2048,
                                           [](DibHeader& h) {
                                               h.biBitCount = 24;
                                               h.biClrUsed = 0x40000000u;
                                           })},
    };
    for (const auto& c : cases) {
        DibLayout d;
        EXPECT_FALSE(readDibLayout(c.block.data(), c.block.size(), &d)) << c.what;
    }
    DibLayout d;
    EXPECT_FALSE(readDibLayout(nullptr, 100, &d)) << "no block";
}

TEST(DibLayoutReader, RowsFitWithoutOverflow) {
    auto block = editedHeader(40 + 45, [](DibHeader& h) { h.biBitCount = 24; });
    DibLayout d;
    ASSERT_TRUE(readDibLayout(block.data(), block.size(), &d));
    EXPECT_TRUE(dibRowsFit(d, 15, block.size())) << "unpadded rows fit";
    EXPECT_FALSE(dibRowsFit(d, d.stride, block.size())) << "padded rows do not";
    auto widest = editedHeader(64, [](DibHeader& h) {
        h.biBitCount = 32;
        h.biWidth = 0x7FFFFFFF;
        h.biHeight = 0x7FFFFFFF;
    });
    ASSERT_TRUE(readDibLayout(widest.data(), widest.size(), &d));
    EXPECT_FALSE(dibRowsFit(d, d.stride, widest.size())) << "the product would wrap";
}
