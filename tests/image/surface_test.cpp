// surface_test.cpp — the POSIX framebuffer draws as a device context does:
// fills, bitmap copies, unscaled and COLORONCOLOR-scaled DIBs, PNG output.
#include "wsys/surface.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using plat::Color;
using plat::FrameSurface;
using plat::rgb;

Color marker(int x, int y) {
    return rgb(static_cast<std::uint8_t>(10 + x * 20), static_cast<std::uint8_t>(10 + y * 20), 77);
}

// A packed DIB: header, colour table and bits in one buffer.
struct Dib {
    std::vector<std::uint8_t> block;
    std::size_t bitsOffset = 0;
    const void* header() const { return block.data(); }
    const std::uint8_t* bits() const { return block.data() + bitsOffset; }
};

void put32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}
void put16(std::uint8_t* p, std::uint16_t v) {
    std::memcpy(p, &v, 2);
}

// A 24-bit DIB whose picture pixel (x, y from the top) is marker(x, y).
Dib dib24(int width, int height, bool bottomUp = true) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    Dib d;
    d.bitsOffset = 40;
    d.block.assign(40 + stride * static_cast<std::size_t>(height), 0xCD);
    put32(&d.block[0], 40);
    put32(&d.block[4], static_cast<std::uint32_t>(width));
    put32(&d.block[8], static_cast<std::uint32_t>(bottomUp ? height : -height));
    put16(&d.block[12], 1);
    put16(&d.block[14], 24);
    std::memset(&d.block[16], 0, 24);
    for (int y = 0; y < height; ++y) {
        const int memoryRow = bottomUp ? height - 1 - y : y;
        std::uint8_t* row = &d.block[40 + stride * static_cast<std::size_t>(memoryRow)];
        for (int x = 0; x < width; ++x) {
            const Color c = marker(x, y);
            row[3 * x] = plat::blueOf(c);
            row[3 * x + 1] = plat::greenOf(c);
            row[3 * x + 2] = plat::redOf(c);
        }
    }
    return d;
}

// An 8-, 4- or 1-bit bottom-up DIB; pixel (x, y from the top) has colour
// index index(x, y) into a table of `colors` entries.
template <typename IndexFn>
Dib dibPaletted(int width, int height, int bits, int colors, IndexFn index) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    Dib d;
    d.bitsOffset = 40 + 4 * static_cast<std::size_t>(colors);
    d.block.assign(d.bitsOffset + stride * static_cast<std::size_t>(height), 0);
    put32(&d.block[0], 40);
    put32(&d.block[4], static_cast<std::uint32_t>(width));
    put32(&d.block[8], static_cast<std::uint32_t>(height));
    put16(&d.block[12], 1);
    put16(&d.block[14], static_cast<std::uint16_t>(bits));
    put32(&d.block[32], static_cast<std::uint32_t>(colors));
    for (int i = 0; i < colors; ++i) {
        const Color c = marker(i, 2 * i);
        std::uint8_t* e = &d.block[40 + 4 * static_cast<std::size_t>(i)];
        e[0] = plat::blueOf(c);
        e[1] = plat::greenOf(c);
        e[2] = plat::redOf(c);
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row =
            &d.block[d.bitsOffset + stride * static_cast<std::size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const int v = index(x, y);
            const int bit = x * bits;
            row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bits - bit % 8));
        }
    }
    return d;
}

// Every pixel of the surface: `want` inside, `outside` elsewhere.
template <typename WantFn>
void expectSurface(const FrameSurface& s, WantFn want) {
    int bad = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != want(x, y) && bad++ < 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << s.pixel(x, y)
                              << " not " << want(x, y);
}

constexpr Color GREY = rgb(204, 204, 204);

TEST(FrameSurfaceTest, FillsClippedRectangles) {
    FrameSurface s(8, 6);
    s.fillRect({-5, -5, 3, 2}, rgb(255, 0, 0));
    s.fillRect({6, 4, 20, 20}, rgb(0, 0, 255));
    s.fillRect({5, 5, 5, 9}, rgb(0, 255, 0));  // empty
    expectSurface(s, [](int x, int y) {
        if (x < 3 && y < 2) return rgb(255, 0, 0);
        if (x >= 6 && y >= 4) return rgb(0, 0, 255);
        return rgb(0, 0, 0);
    });
}

TEST(FrameSurfaceTest, CopiesPartsOfBitmapsClippedOnBothSides) {
    plat::Bitmap source(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) source.setPixel(x, y, marker(x, y));
    FrameSurface s(8, 6);
    s.fillRect({0, 0, 8, 6}, GREY);
    s.copyBitmap(6, 1, 4, 5, source, 2, 3);    // runs off the right edge
    s.copyBitmap(-1, 2, 3, 3, source, 8, -1);  // off the left edge and above the source
    expectSurface(s, [](int x, int y) {
        if (x >= 6 && y >= 1) return marker(2 + x - 6, 3 + y - 1);
        // The second copy: columns 0..1 from source 9..10 (10 is outside),
        // rows 2..4 from source -1..1 (-1 is outside).
        if (x == 0 && y >= 3 && y <= 4) return marker(9, y - 3);
        return GREY;
    });
}

TEST(FrameSurfaceTest, CopiesWithinItselfAsMemmoveWould) {
    FrameSurface s(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) s.frame().setPixel(x, y, marker(x, y));
    s.copyBitmap(1, 1, 5, 5, s.frame(), 0, 0);
    expectSurface(
        s, [](int x, int y) { return x >= 1 && y >= 1 ? marker(x - 1, y - 1) : marker(x, y); });
}

TEST(FrameSurfaceTest, UnscaledDibsCountTheSourceFromTheBottom) {
    const Dib d = dib24(5, 4);
    FrameSurface s(6, 5);
    s.fillRect({0, 0, 6, 5}, GREY);
    // Source (1, 1) from the bottom, 3 x 2: picture rows 1 and 2 from the
    // top. GDI counts the lines up to the source's top: 1 + 2.
    EXPECT_EQ(s.drawDib(2, 3, 3, 2, 1, 1, 0, 4, d.header(), d.bits()), 3);
    expectSurface(s, [](int x, int y) {
        if (x >= 2 && x < 5 && y >= 3) return marker(x - 1, y - 2);
        return GREY;
    });

    // The whole picture at the origin, partly off the surface.
    FrameSurface t(3, 3);
    EXPECT_EQ(t.drawDib(-1, -1, 5, 4, 0, 0, 0, 4, d.header(), d.bits()), 4);
    expectSurface(t, [](int x, int y) { return marker(x + 1, y + 1); });
}

TEST(FrameSurfaceTest, UnscaledDibsDrawOnlyTheScanLinesGiven) {
    const Dib d = dib24(4, 4);
    const std::size_t stride = 12;
    FrameSurface s(4, 4);
    s.fillRect({0, 0, 4, 4}, GREY);
    // Lines 1 and 2 from the bottom: picture rows 2 and 1 from the top.
    EXPECT_EQ(s.drawDib(0, 0, 4, 4, 0, 0, 1, 2, d.header(), d.bits() + stride), 2);
    expectSurface(s, [](int x, int y) { return y == 1 || y == 2 ? marker(x, y) : GREY; });
    EXPECT_EQ(s.drawDib(0, 0, 4, 4, 0, 0, 4, 1, d.header(), d.bits()), 0);
}

TEST(FrameSurfaceTest, TopDownDibsAlsoCountTheSourceFromTheBottom) {
    const Dib d = dib24(5, 4, false);
    FrameSurface s(3, 2);
    // Source (1, 0), 3 x 2: the two bottom rows of the picture.
    s.drawDib(0, 0, 3, 2, 1, 0, 0, 4, d.header(), d.bits());
    expectSurface(s, [](int x, int y) { return marker(x + 1, y + 2); });

    // A band of a top-down DIB: lines 1..2 from the bottom, stored top row
    // first (picture rows 1 and 2 from the top).
    const std::size_t stride = 16;
    FrameSurface t(5, 4);
    t.fillRect({0, 0, 5, 4}, GREY);
    t.drawDib(0, 0, 5, 4, 0, 0, 1, 2, d.header(), d.bits() + stride);
    expectSurface(t, [](int x, int y) { return y == 1 || y == 2 ? marker(x, y) : GREY; });
}

TEST(FrameSurfaceTest, PalettedDibsUseTheirColourTables) {
    using IndexFn = int (*)(int, int);
    struct Case {
        int bits, colors, width;
        IndexFn index;
    };
    // 8 bits with 3 colours used, 5 pixels wide (rows padded from 5 to 8
    // bytes); 4 bits, 7 wide (an odd nibble at the end); 1 bit, 11 wide.
    for (const Case c : {Case{8, 3, 5, [](int x, int y) { return (x + y) % 3; }},
                         Case{4, 16, 7, [](int x, int y) { return (x * 3 + y) % 16; }},
                         Case{1, 2, 11, [](int x, int y) { return (x ^ y) & 1; }}}) {
        const Dib d = dibPaletted(c.width, 3, c.bits, c.colors, c.index);
        FrameSurface s(c.width, 3);
        EXPECT_EQ(s.drawDib(0, 0, c.width, 3, 0, 0, 0, 3, d.header(), d.bits()), 3);
        expectSurface(s, [&](int x, int y) {
            const int i = c.index(x, y);
            return marker(i, 2 * i);
        });
    }
}

TEST(FrameSurfaceTest, RefusesDibsItCannotRead) {
    Dib d = dib24(4, 4);
    FrameSurface s(4, 4);
    put32(&d.block[16], 1);  // BI_RLE8
    EXPECT_EQ(s.drawDib(0, 0, 4, 4, 0, 0, 0, 4, d.header(), d.bits()), 0);
    EXPECT_EQ(s.stretchDib(0, 0, 2, 2, 0, 0, 4, 4, d.header(), d.bits()), 0);
    put32(&d.block[16], 0);
    put16(&d.block[14], 16);
    EXPECT_EQ(s.drawDib(0, 0, 4, 4, 0, 0, 0, 4, d.header(), d.bits()), 0);
    EXPECT_EQ(s.drawDib(0, 0, 4, 4, 0, 0, 0, 4, nullptr, d.bits()), 0);
    expectSurface(s, [](int, int) { return rgb(0, 0, 0); });
}

// Which source columns and rows a device context's COLORONCOLOR stretch
// shows, as measured on GDI (columns keep the last pixel of each dropped
// run, rows the first).
struct GdiStretch {
    int src, dst;
    std::vector<int> columns, rows;
};
const GdiStretch GDI_STRETCHES[] = {
    {2, 3, {0, 0, 1}, {0, 0, 1}},
    {4, 5, {0, 1, 1, 2, 3}, {0, 1, 1, 2, 3}},
    {5, 9, {0, 0, 1, 1, 2, 3, 3, 4, 4}, {0, 0, 1, 1, 2, 3, 3, 4, 4}},
    {3, 1, {2}, {0}},
    {5, 2, {2, 4}, {0, 3}},
    {8, 3, {2, 4, 7}, {0, 3, 5}},
    {9, 4, {1, 4, 6, 8}, {0, 2, 5, 7}},
    {7, 6, {0, 1, 3, 4, 5, 6}, {0, 1, 2, 4, 5, 6}},
};

TEST(FrameSurfaceTest, StretchingPicksThePixelsGdiPicks) {
    for (const GdiStretch& g : GDI_STRETCHES) {
        for (bool bottomUp : {true, false}) {
            const Dib d = dib24(g.src, g.src, bottomUp);
            FrameSurface s(g.dst, g.dst);
            EXPECT_EQ(s.stretchDib(0, 0, g.dst, g.dst, 0, 0, g.src, g.src, d.header(), d.bits()),
                      g.src);
            expectSurface(s, [&](int x, int y) { return marker(g.columns[x], g.rows[y]); });
        }
    }
}

TEST(FrameSurfaceTest, StretchingAPartCountsItsRowsFromTheBottom) {
    const Dib d = dib24(8, 8);
    // Source (2, 1) from the bottom, 5 x 4: picture rows 3..6 from the top,
    // onto 9 x 9 at (1, 2), cut by the surface's edges.
    const GdiStretch& g = GDI_STRETCHES[2];
    FrameSurface part(6, 7);
    part.fillRect({0, 0, 6, 7}, GREY);
    part.stretchDib(1, 2, 9, 9, 2, 1, 5, 4, d.header(), d.bits());
    const int rows4to9[9] = {0, 0, 1, 1, 1, 2, 2, 3, 3};  // 4 rows onto 9, as GDI picks them
    expectSurface(part, [&](int x, int y) {
        if (x < 1 || y < 2) return GREY;
        return marker(2 + g.columns[x - 1], 3 + rows4to9[y - 2]);
    });
}

TEST(FrameSurfaceTest, TopDownDibsAtTheirOwnSizeWithSourceRowZeroUseTheirTopRows) {
    const Dib d = dib24(6, 6, false);
    FrameSurface s(6, 3);
    // Unscaled stretch with srcY 0: the top rows, as GDI does it ...
    s.stretchDib(0, 0, 6, 3, 0, 0, 6, 3, d.header(), d.bits());
    expectSurface(s, [](int x, int y) { return marker(x, y); });
    // ... with srcY 1 the lower-left origin again: rows 2..4 from the top.
    s.stretchDib(0, 0, 6, 3, 0, 1, 6, 3, d.header(), d.bits());
    expectSurface(s, [](int x, int y) { return marker(x, y + 2); });
    // Scaled, srcY 0 counts from the bottom too: rows 3..5 onto 2 rows.
    FrameSurface t(6, 2);
    t.stretchDib(0, 0, 6, 2, 0, 0, 6, 3, d.header(), d.bits());
    expectSurface(t, [](int x, int y) { return marker(x, y == 0 ? 3 : 5); });
}

TEST(FrameSurfaceTest, StretchingPalettedDibsAndSourcesBeyondThePicture) {
    const Dib d = dibPaletted(6, 4, 8, 6, [](int x, int) { return x; });
    FrameSurface s(12, 3);
    s.fillRect({0, 0, 12, 3}, GREY);
    // Source columns 3..8 of a 6-pixel picture doubled: 6..8 are not there.
    s.stretchDib(0, 0, 12, 3, 3, 0, 6, 4, d.header(), d.bits());
    expectSurface(s, [](int x, int) {
        const int sx = 3 + x / 2;
        return sx < 6 ? marker(sx, 2 * sx) : GREY;
    });
}

TEST(FrameSurfaceTest, SavesItsPixelsAsPng) {
    FrameSurface s(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) s.frame().setPixel(x, y, marker(x, y));
    const std::string path =
        (std::filesystem::temp_directory_path() / "pxcm-surface-test.png").string();
    std::string error;
    ASSERT_TRUE(s.savePng(path, &error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgbPixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgbPixels.data(), 0, nullptr));
    std::remove(path.c_str());
    ASSERT_EQ(image.width, 5u);
    ASSERT_EQ(image.height, 3u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* p = &rgbPixels[(static_cast<std::size_t>(y) * 5 + x) * 3];
            EXPECT_EQ(rgb(p[0], p[1], p[2]), marker(x, y)) << x << "," << y;
        }

    EXPECT_FALSE(s.savePng("/nonexistent-folder/x.png", &error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos);
}

}  // namespace
