// draw_picture_test.cpp — drawPicture on the framebuffer, pixel by pixel,
// and the calls it makes on a surface.
#include "image/draw_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/dib.h"
#include "image/jpeg_decoder.h"
#include "wsys/surface.h"

namespace {

using plat::Color;
using plat::rgb;

Color pictureColor(int x, int y) {
    return rgb(static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 4), 200);
}

// A picture block in the decoder's display layout (bottom-up, blue, green,
// red) whose pixel (x, y from the top) is pictureColor(x, y).
plat::MemHandle displayPicture(int width, int height) {
    const std::size_t line = static_cast<std::size_t>(width) * 3;
    plat::MemHandle h =
        plat::memAlloc(DIB_HEADER_SIZE + line * static_cast<std::size_t>(height), true);
    auto* p = static_cast<std::uint8_t*>(plat::memLock(h));
    DibHeader header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::memcpy(p, &header, sizeof header);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p + DIB_HEADER_SIZE + static_cast<std::size_t>(height - 1 - y) * line;
        for (int x = 0; x < width; ++x) {
            const Color c = pictureColor(x, y);
            row[3 * x] = plat::blueOf(c);
            row[3 * x + 1] = plat::greenOf(c);
            row[3 * x + 2] = plat::redOf(c);
        }
    }
    plat::memUnlock(h);
    return h;
}

constexpr Color BACKGROUND = rgb(204, 204, 204);

template <typename WantFn>
void expectCell(const plat::FrameSurface& s, const plat::Rect& cell, WantFn want) {
    int bad = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const bool inside =
                x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
            const Color expected = inside ? want(x - cell.left, y - cell.top) : BACKGROUND;
            if (s.pixel(x, y) != expected && bad++ < 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ")";
        }
}

class DrawPictureTest : public ::testing::Test {
protected:
    DrawPictureTest() : surface_(200, 150) { surface_.fillRect({0, 0, 200, 150}, BACKGROUND); }
    plat::FrameSurface surface_;
};

TEST_F(DrawPictureTest, AThumbnailIntoItsCellUnscaled) {
    plat::MemBlock thumb(displayPicture(80, 56));
    const plat::Rect cell{10, 20, 90, 76};
    EXPECT_EQ(drawPicture(surface_, cell, thumb.get(), {0, 0, 80, 56}, nullptr), 56);
    expectCell(surface_, cell, pictureColor);
}

TEST_F(DrawPictureTest, TheSourceRectangleCountsFromThePictureTop) {
    plat::MemBlock tall(displayPicture(80, 60));
    const plat::Rect cell{0, 0, 80, 56};
    drawPicture(surface_, cell, tall.get(), {0, 0, 80, 56}, nullptr);
    expectCell(surface_, cell, pictureColor);
    drawPicture(surface_, cell, tall.get(), {0, 4, 80, 60}, nullptr);
    expectCell(surface_, cell, [](int x, int y) { return pictureColor(x, y + 4); });
}

TEST_F(DrawPictureTest, OtherCellSizesAreScaledAsGdiScales) {
    plat::MemBlock thumb(displayPicture(80, 56));
    // Halved: the last column and the first row of each pair.
    plat::Rect cell{5, 5, 45, 33};
    drawPicture(surface_, cell, thumb.get(), {0, 0, 80, 56}, nullptr);
    expectCell(surface_, cell, [](int x, int y) { return pictureColor(2 * x + 1, 2 * y); });

    // Doubled: every pixel twice.
    surface_.fillRect({0, 0, 200, 150}, BACKGROUND);
    cell = {0, 0, 160, 112};
    drawPicture(surface_, cell, thumb.get(), {0, 0, 80, 56}, nullptr);
    expectCell(surface_, cell, [](int x, int y) { return pictureColor(x / 2, y / 2); });

    // 57 x 41: the columns and rows that GDI keeps.
    static const int columns[57] = {0,  2,  3,  5,  6,  7,  9,  10, 12, 13, 14, 16, 17, 19, 20,
                                    21, 23, 24, 26, 27, 28, 30, 31, 33, 34, 35, 37, 38, 40, 41,
                                    43, 44, 45, 47, 48, 50, 51, 52, 54, 55, 57, 58, 59, 61, 62,
                                    64, 65, 66, 68, 69, 71, 72, 73, 75, 76, 78, 79};
    static const int rows[41] = {0,  1,  3,  4,  5,  7,  8,  10, 11, 12, 14, 15, 16, 18,
                                 19, 20, 22, 23, 25, 26, 27, 29, 30, 31, 33, 34, 36, 37,
                                 38, 40, 41, 42, 44, 45, 46, 48, 49, 51, 52, 53, 55};
    surface_.fillRect({0, 0, 200, 150}, BACKGROUND);
    cell = {30, 40, 87, 81};
    drawPicture(surface_, cell, thumb.get(), {0, 0, 80, 56}, nullptr);
    expectCell(surface_, cell, [](int x, int y) { return pictureColor(columns[x], rows[y]); });
}

TEST_F(DrawPictureTest, TheBlankPictureDrawsWhite) {
    const std::uint8_t nothing[1] = {0};
    plat::MemBlock blank(decodePicture(nothing, 0, DECODE_DISPLAY));
    const plat::Rect cell{100, 50, 180, 106};
    EXPECT_EQ(drawPicture(surface_, cell, blank.get(), {0, 0, 80, 56}, nullptr), 56);
    expectCell(surface_, cell, [](int, int) { return rgb(255, 255, 255); });
}

TEST_F(DrawPictureTest, NoPictureDrawsNothing) {
    EXPECT_EQ(drawPicture(surface_, {0, 0, 80, 56}, nullptr, {0, 0, 80, 56}, nullptr), 0);
    expectCell(surface_, {0, 0, 0, 0}, [](int, int) { return BACKGROUND; });
}

TEST_F(DrawPictureTest, OddWidthsAreDrawnFromTheirUnpaddedRows) {
    // Rows of width x 3 bytes that are not a multiple of 4: the device reads
    // padded rows, the block has none.
    const struct {
        int width, height;
    } sizes[] = {{81, 56}, {83, 9}, {1, 1}, {2, 3}, {17, 70}, {99, 40}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height);
        plat::MemBlock picture(displayPicture(size.width, size.height));
        const plat::Rect whole{0, 0, size.width, size.height};

        surface_.fillRect({0, 0, 200, 150}, BACKGROUND);
        const plat::Rect cell{3, 4, 3 + size.width, 4 + size.height};
        EXPECT_EQ(drawPicture(surface_, cell, picture.get(), whole, nullptr), size.height);
        expectCell(surface_, cell, pictureColor);

        surface_.fillRect({0, 0, 200, 150}, BACKGROUND);
        const plat::Rect doubled{1, 2, 1 + 2 * size.width, 2 + 2 * size.height};
        EXPECT_EQ(drawPicture(surface_, doubled, picture.get(), whole, nullptr), size.height);
        expectCell(surface_, doubled, [](int x, int y) { return pictureColor(x / 2, y / 2); });
    }
}

TEST_F(DrawPictureTest, BlocksShorterThanTheirPixelsDrawNothing) {
    plat::MemBlock picture(displayPicture(81, 56));
    const std::size_t full = DIB_HEADER_SIZE + 81 * 3 * 56;
    // A row short, the header alone, parts of a header.
    for (std::size_t size : {full - 81 * 3, DIB_HEADER_SIZE, std::size_t{12}, std::size_t{3}}) {
        SCOPED_TRACE(size);
        plat::MemBlock cut(plat::memAlloc(size, true));
        std::memcpy(plat::memLock(cut.get()), plat::memLock(picture.get()), size);
        plat::memUnlock(cut.get());
        plat::memUnlock(picture.get());
        for (const plat::Rect& cell : {plat::Rect{0, 0, 81, 56}, plat::Rect{0, 0, 40, 28}})
            EXPECT_EQ(drawPicture(surface_, cell, cut.get(), {0, 0, 81, 56}, nullptr), 0);
        expectCell(surface_, {0, 0, 0, 0}, [](int, int) { return BACKGROUND; });
    }
}

// Records the calls drawPicture makes.
class RecordingSurface : public plat::Surface {
public:
    struct Call {
        std::string what;
        std::vector<long long> args;
    };
    std::vector<Call> calls;
    plat::Palette current = reinterpret_cast<plat::Palette>(0x1000);

    void copyBitmap(int, int, int, int, const plat::Bitmap&, int, int) override {
        calls.push_back({"copy", {}});
    }
    int drawDib(int dx, int dy, int w, int h, int sx, int sy, unsigned start, unsigned lines,
                const void*, const void*) override {
        calls.push_back({"draw", {dx, dy, w, h, sx, sy, start, lines}});
        return static_cast<int>(lines);
    }
    int stretchDib(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, const void*,
                   const void*) override {
        calls.push_back({"stretch", {dx, dy, dw, dh, sx, sy, sw, sh}});
        return 77;
    }
    void fillRect(const plat::Rect&, Color) override { calls.push_back({"fill", {}}); }
    void drawText(const plat::Font&, int x, int y, const char*, Color, const Color*) override {
        calls.push_back({"text", {x, y}});
    }
    plat::Palette selectBackgroundPalette(plat::Palette p) override {
        calls.push_back({"palette", {reinterpret_cast<long long>(p)}});
        plat::Palette old = current;
        current = p;
        return old;
    }
};

TEST(DrawPictureCalls, UnscaledAndScaledDrawsGetTheDeviceArguments) {
    plat::MemBlock tall(displayPicture(80, 60));
    RecordingSurface s;
    EXPECT_EQ(drawPicture(s, {10, 20, 90, 76}, tall.get(), {0, 0, 80, 56}, nullptr), 60);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].what, "draw");
    EXPECT_EQ(s.calls[0].args, (std::vector<long long>{10, 20, 80, 56, 0, 4, 0, 60}));

    s.calls.clear();
    EXPECT_EQ(drawPicture(s, {10, 20, 50, 48}, tall.get(), {2, 3, 82, 59}, nullptr), 77);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].what, "stretch");
    EXPECT_EQ(s.calls[0].args, (std::vector<long long>{10, 20, 40, 28, 2, 3, 80, 56}));
}

TEST(DrawPictureCalls, APaletteIsSelectedInTheBackgroundAndPutBack) {
    plat::MemBlock thumb(displayPicture(80, 56));
    RecordingSurface s;
    const auto original = s.current;
    const auto palette = reinterpret_cast<plat::Palette>(0x2000);
    drawPicture(s, {0, 0, 80, 56}, thumb.get(), {0, 0, 80, 56}, palette);
    ASSERT_EQ(s.calls.size(), 3u);
    EXPECT_EQ(s.calls[0].what, "palette");
    EXPECT_EQ(s.calls[0].args[0], reinterpret_cast<long long>(palette));
    EXPECT_EQ(s.calls[1].what, "draw");
    EXPECT_EQ(s.calls[2].what, "palette");
    EXPECT_EQ(s.current, original);

    // Without a palette the surface's palette is left alone.
    s.calls.clear();
    drawPicture(s, {0, 0, 40, 28}, thumb.get(), {0, 0, 80, 56}, nullptr);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].what, "stretch");
}

}  // namespace
