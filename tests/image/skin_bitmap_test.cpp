// skin_bitmap_test.cpp — the module's skin bitmaps as the window loads them,
// and the DIB conversion behind it, malformed blocks included.
#include "image/skin_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/dib.h"
#include "platform/module.h"

namespace {

struct SkinSize {
    int id;
    int width;
    int height;
    int bits;
};

// Every skin bitmap the window, the list and the About box load.
constexpr SkinSize SKIN_SIZES[] = {
    {187, 526, 400, 8}, {163, 83, 25, 8}, {164, 83, 25, 8}, {165, 66, 28, 8}, {166, 66, 27, 8},
    {167, 66, 28, 8},   {168, 66, 28, 8}, {169, 82, 25, 8}, {170, 82, 25, 8}, {171, 63, 38, 8},
    {172, 63, 38, 8},   {173, 63, 38, 8}, {174, 63, 38, 8}, {194, 63, 38, 8}, {195, 63, 38, 8},
    {175, 56, 54, 8},   {176, 55, 53, 8}, {177, 55, 53, 8}, {178, 54, 54, 8}, {179, 30, 29, 8},
    {180, 30, 29, 8},   {181, 30, 29, 8}, {182, 30, 29, 8}, {183, 30, 29, 8}, {184, 30, 29, 8},
    {185, 30, 29, 8},   {186, 30, 29, 8}, {192, 64, 26, 8}, {193, 64, 26, 8}, {206, 26, 25, 8},
    {207, 26, 25, 4},   {208, 26, 25, 4}, {209, 26, 25, 4}, {102, 5, 66, 8},  {130, 5, 66, 8},
    {131, 80, 5, 8},    {132, 80, 5, 8},  {137, 5, 66, 8},  {138, 5, 66, 8},  {139, 80, 5, 8},
    {140, 80, 5, 8},    {141, 5, 66, 8},  {142, 5, 66, 8},  {143, 80, 5, 8},  {144, 80, 5, 8},
    {203, 346, 256, 8},
};

TEST(SkinBitmaps, EveryIdHasItsSizeAndDepth) {
    for (const SkinSize& s : SKIN_SIZES) {
        SCOPED_TRACE(s.id);
        const void* dib = nullptr;
        std::size_t size = 0;
        ASSERT_TRUE(plat::bitmapResource(nullptr, s.id, &dib, &size));
        DibHeader header;
        ASSERT_GE(size, sizeof header);
        std::memcpy(&header, dib, sizeof header);
        EXPECT_EQ(header.biSize, 40u);
        EXPECT_EQ(header.biBitCount, s.bits);
        const plat::Bitmap bitmap = loadSkinBitmap(nullptr, s.id);
        EXPECT_EQ(bitmap.width(), s.width);
        EXPECT_EQ(bitmap.height(), s.height);
    }
}

TEST(SkinBitmaps, IdsWithoutBitmapGiveEmptyPictures) {
    for (int id : {0, 1, 101, 188, 204, 210, 999}) {
        EXPECT_FALSE(plat::bitmapResource(nullptr, id, nullptr, nullptr)) << id;
        EXPECT_EQ(loadSkinBitmap(nullptr, id).width(), 0) << id;
    }
}

TEST(SkinBitmaps, StatusBarIsTheStatusLineGrey) {
    const plat::Bitmap background = loadSkinBitmap(nullptr, 187);
    ASSERT_EQ(background.width(), 526);
    // The status line is drawn from (10,378) on RGB(204,204,204), about 16
    // pixels tall, over the bar that reaches to the trough.
    for (int y : {378, 385, 393})
        for (int x : {0, 10, 150, 289})
            EXPECT_EQ(background.pixel(x, y), plat::rgb(204, 204, 204)) << x << "," << y;
}

// A frame piece compared with the background where the list draws it
// around the slot at (left, top).
bool pieceMatches(const plat::Bitmap& background, const plat::Bitmap& piece, int x, int y) {
    for (int j = 0; j < piece.height(); ++j)
        for (int i = 0; i < piece.width(); ++i)
            if (piece.pixel(i, j) != background.pixel(x + i, y + j)) return false;
    return true;
}

TEST(SkinBitmaps, NormalFramesVanishIntoTheBackgroundAndMarksDoNot) {
    const plat::Bitmap background = loadSkinBitmap(nullptr, 187);
    ASSERT_EQ(background.width(), 526);
    struct Set {
        int left, right, top, bottom;
        bool matches;
    };
    const Set sets[] = {
        {102, 130, 131, 132, true}, {137, 138, 139, 140, false}, {141, 142, 143, 144, false}};
    const int lefts[] = {30, 135, 240, 345};
    const int tops[] = {20, 134, 248};
    for (const Set& set : sets) {
        const plat::Bitmap left = loadSkinBitmap(nullptr, set.left);
        const plat::Bitmap right = loadSkinBitmap(nullptr, set.right);
        const plat::Bitmap top = loadSkinBitmap(nullptr, set.top);
        const plat::Bitmap bottom = loadSkinBitmap(nullptr, set.bottom);
        ASSERT_GT(left.width() * right.width() * top.width() * bottom.width(), 0);
        for (int slot = 0; slot < 12; ++slot) {
            SCOPED_TRACE(testing::Message() << "set " << set.left << " slot " << slot);
            const int x = lefts[slot % 4];
            const int y = tops[slot / 4];
            EXPECT_EQ(pieceMatches(background, left, x - 5, y - 5), set.matches);
            EXPECT_EQ(pieceMatches(background, top, x, y - 5), set.matches);
            EXPECT_EQ(pieceMatches(background, right, x + 80, y - 5), set.matches);
            EXPECT_EQ(pieceMatches(background, bottom, x, y + 56), set.matches);
        }
    }
    // Hover and selected marks are told apart.
    EXPECT_NE(loadSkinBitmap(nullptr, 139).pixel(40, 2), loadSkinBitmap(nullptr, 143).pixel(40, 2));
}

TEST(SkinBitmaps, UpAndDownFacesDiffer) {
    const int pairs[][2] = {{163, 164}, {165, 166}, {167, 168}, {169, 170}, {171, 172},
                            {173, 174}, {194, 195}, {192, 193}, {176, 175}, {177, 178},
                            {179, 180}, {181, 182}, {183, 184}, {185, 186}};
    for (const auto& pair : pairs) {
        const plat::Bitmap up = loadSkinBitmap(nullptr, pair[0]);
        const plat::Bitmap down = loadSkinBitmap(nullptr, pair[1]);
        ASSERT_GT(up.width(), 0) << pair[0];
        int differing = 0;
        const int w = std::min(up.width(), down.width());
        const int h = std::min(up.height(), down.height());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) differing += up.pixel(x, y) != down.pixel(x, y);
        // Most of a pressed face changes, not a stray pixel.
        EXPECT_GT(differing, w * h / 4) << pair[0] << "/" << pair[1];
    }
}

// A packed DIB: information header, colour table, bits as given.
std::vector<std::uint8_t> dib(std::int32_t width, std::int32_t height, std::uint16_t bits,
                              const std::vector<std::uint32_t>& colours,
                              const std::vector<std::uint8_t>& pixels, std::uint32_t used = 0) {
    DibHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biClrUsed = used;
    std::vector<std::uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    for (std::uint32_t c : colours) {
        // RGBQUAD: blue, green, red, 0 from 0xRRGGBB.
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        out.push_back(0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

constexpr std::uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, GREY = 0x808080;

TEST(SkinBitmapFromDib, ConvertsEveryDepthAndRowOrder) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        // Expected top row, then bottom row, of a 2 x 2 picture.
        plat::Color topLeft, topRight, bottomLeft, bottomRight;
    };
    const std::vector<std::uint32_t> four = {RED, GREEN, BLUE, GREY};
    const Case cases[] = {
        // Bottom-up: the first row in the block is the picture's bottom row.
        {"1 bit", dib(2, 2, 1, {RED, BLUE}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}), plat::rgb(0, 0, 255),
         plat::rgb(255, 0, 0), plat::rgb(255, 0, 0), plat::rgb(0, 0, 255)},
        {"4 bits", dib(2, 2, 4, four, {0x01, 0, 0, 0, 0x23, 0, 0, 0}, 4), plat::rgb(0, 0, 255),
         plat::rgb(128, 128, 128), plat::rgb(255, 0, 0), plat::rgb(0, 255, 0)},
        {"8 bits", dib(2, 2, 8, four, {3, 2, 0, 0, 1, 0, 0, 0}, 4), plat::rgb(0, 255, 0),
         plat::rgb(255, 0, 0), plat::rgb(128, 128, 128), plat::rgb(0, 0, 255)},
        {"8 bits top-down", dib(2, -2, 8, four, {3, 2, 0, 0, 1, 0, 0, 0}, 4),
         plat::rgb(128, 128, 128), plat::rgb(0, 0, 255), plat::rgb(0, 255, 0),
         plat::rgb(255, 0, 0)},
        // 24 bits: blue, green, red per pixel, rows padded to 8 bytes.
        {"24 bits", dib(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
         plat::rgb(9, 8, 7), plat::rgb(12, 11, 10), plat::rgb(3, 2, 1), plat::rgb(6, 5, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const plat::Bitmap b = skinBitmapFromDib(c.block.data(), c.block.size());
        ASSERT_EQ(b.width(), 2);
        ASSERT_EQ(b.height(), 2);
        EXPECT_EQ(b.pixel(0, 0), c.topLeft);
        EXPECT_EQ(b.pixel(1, 0), c.topRight);
        EXPECT_EQ(b.pixel(0, 1), c.bottomLeft);
        EXPECT_EQ(b.pixel(1, 1), c.bottomRight);
    }
}

TEST(SkinBitmapFromDib, RefusesMalformedBlocks) {
    const std::vector<std::uint8_t> good = dib(2, 2, 8, {RED, GREEN}, {0, 1, 0, 0, 1, 0, 0, 0}, 2);
    ASSERT_EQ(skinBitmapFromDib(good.data(), good.size()).width(), 2);
    auto with = [&](std::size_t offset, std::uint32_t value, std::size_t bytes) {
        std::vector<std::uint8_t> b = good;
        std::memcpy(b.data() + offset, &value, bytes);
        return b;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> block;
        std::size_t size;
    };
    const Case cases[] = {
        {"shorter than its header", good, 39},
        {"bits cut short", good, good.size() - 1},
        {"colour table cut short", good, 40 + 6},
        {"core header", with(0, 12, 4), good.size()},
        {"header larger than the block", with(0, 4096, 4), good.size()},
        {"zero width", with(4, 0, 4), good.size()},
        {"negative width", with(4, 0xFFFFFFFF, 4), good.size()},
        {"zero height", with(8, 0, 4), good.size()},
        {"huge height", with(8, 0x7FFFFFFF, 4), good.size()},
        {"two planes", with(12, 2, 2), good.size()},
        {"16 bits", with(14, 16, 2), good.size()},
        {"32 bits", with(14, 32, 2), good.size()},
        {"run-length compressed", with(16, 1, 4), good.size()},
        {"more colours than 8 bits hold", with(32, 257, 4), good.size()},
        {"index beyond the colour table", dib(2, 2, 8, {RED, GREEN}, {0, 2, 0, 0, 1, 0, 0, 0}, 2),
         good.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Copied to a block of exactly `size` bytes, so that a read past it
        // shows under the sanitizers.
        std::vector<std::uint8_t> exact(c.block.begin(),
                                        c.block.begin() + std::min(c.size, c.block.size()));
        EXPECT_EQ(skinBitmapFromDib(exact.data(), exact.size()).width(), 0);
    }
    EXPECT_EQ(skinBitmapFromDib(nullptr, 100).width(), 0);
}

}  // namespace
