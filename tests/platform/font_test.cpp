// font_test.cpp — text on the framebuffer: glyphs inside their cell, an
// opaque cell that blanks can clear an earlier text with, transparent text
// that leaves the background, and the cell sizes of the window's two fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "wsys/font.h"
#include "wsys/surface.h"

namespace {

using plat::Color;
using plat::FontFace;
using plat::FrameSurface;
using plat::GlyphFont;
using plat::rgb;

constexpr Color kGrey = rgb(204, 204, 204);
constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kField = rgb(10, 120, 30);

struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where pixels of `colour` are, and how many.
struct Ink {
    int count = 0;
    Box bounds{1 << 20, 1 << 20, -1, -1};
};
Ink inkOf(const FrameSurface& s, Color colour) {
    Ink ink;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) == colour) {
                ++ink.count;
                ink.bounds.left = std::min(ink.bounds.left, x);
                ink.bounds.top = std::min(ink.bounds.top, y);
                ink.bounds.right = std::max(ink.bounds.right, x + 1);
                ink.bounds.bottom = std::max(ink.bounds.bottom, y + 1);
            }
    return ink;
}

int cellArea(const Box& b) {
    return (b.right - b.left) * (b.bottom - b.top);
}

class Text : public ::testing::TestWithParam<FontFace> {
protected:
    void SetUp() override {
        font = plat::createFont(GetParam());
        ASSERT_NE(font, nullptr) << "fonts-dejavu-core is needed";
        glyphs = dynamic_cast<const GlyphFont*>(font.get());
        ASSERT_NE(glyphs, nullptr);
        surface.fillRect({0, 0, surface.width(), surface.height()}, kField);
    }
    std::unique_ptr<plat::Font> font;
    const GlyphFont* glyphs = nullptr;
    FrameSurface surface{300, 60};
};

TEST_P(Text, OpaqueTextFillsItsCellAndInksOnlyInsideIt) {
    const char* text = "Updating camera info. Please wait...";
    const int width = glyphs->textWidth(text);
    ASSERT_GT(width, 0);
    ASSERT_LT(10 + width, surface.width());
    surface.drawText(*font, 10, 20, text, kBlack, &kGrey);
    const Box cell{10, 20, 10 + width, 20 + glyphs->lineHeight()};
    const Ink black = inkOf(surface, kBlack), grey = inkOf(surface, kGrey);
    EXPECT_GT(black.count, 50);
    EXPECT_TRUE(cell.contains(black.bounds.left, black.bounds.top));
    EXPECT_TRUE(cell.contains(black.bounds.right - 1, black.bounds.bottom - 1));
    // The whole cell is text or background, nothing else; outside it, nothing changed.
    EXPECT_EQ(black.count + grey.count, cellArea(cell));
    EXPECT_EQ(grey.bounds.left, cell.left);
    EXPECT_EQ(grey.bounds.top, cell.top);
    EXPECT_EQ(grey.bounds.right, cell.right);
    EXPECT_EQ(grey.bounds.bottom, cell.bottom);
}

TEST_P(Text, BlanksAdvanceAndAnOpaqueRunOfThemClearsAnEarlierText) {
    EXPECT_GT(glyphs->textWidth(" "), 0);
    const std::string blanks(61, ' ');
    const std::string text = "Selected 12 images are deleted...";
    ASSERT_GE(glyphs->textWidth(blanks.c_str()), glyphs->textWidth(text.c_str()));
    surface.drawText(*font, 4, 5, text.c_str(), kBlack, &kGrey);
    ASSERT_GT(inkOf(surface, kBlack).count, 0);
    surface.drawText(*font, 4, 5, blanks.c_str(), kBlack, &kGrey);
    EXPECT_EQ(inkOf(surface, kBlack).count, 0);
}

TEST_P(Text, TransparentTextKeepsTheBackgroundAndClipsAtTheEdges) {
    surface.drawText(*font, 3, 3, "Wg", kBlack, nullptr);
    const Ink black = inkOf(surface, kBlack);
    EXPECT_GT(black.count, 0);
    EXPECT_EQ(black.count + inkOf(surface, kField).count, surface.width() * surface.height());
    // Partly outside the surface on every side: no crash, the inside still drawn.
    FrameSurface small(8, 8);
    small.drawText(*font, -3, -4, "MMMM", kGrey, nullptr);
    small.drawText(*font, 5, 5, "MMMM", kGrey, nullptr);
    EXPECT_GT(inkOf(small, kGrey).count, 0);
    small.drawText(*font, 0, 0, nullptr, kGrey, &kBlack);  // no text: nothing
}

INSTANTIATE_TEST_SUITE_P(BothFaces, Text,
                         ::testing::Values(FontFace::LabelSerif, FontFace::StatusSans));

TEST(Fonts, CellsHaveTheSizesOfTheWindowsFonts) {
    struct Case {
        FontFace face;
        int minLine, maxLine;    // line height
        int minGlyph, maxGlyph;  // height of the ink of "H"
    };
    const Case cases[] = {
        {FontFace::LabelSerif, 9, 12, 5, 8},
        {FontFace::StatusSans, 16, 16, 8, 11},
    };
    for (const Case& c : cases) {
        auto font = plat::createFont(c.face);
        ASSERT_NE(font, nullptr);
        const auto& g = dynamic_cast<const GlyphFont&>(*font);
        EXPECT_GE(g.lineHeight(), c.minLine);
        EXPECT_LE(g.lineHeight(), c.maxLine);
        const GlyphFont::Glyph& h = g.glyph('H');
        EXPECT_GE(h.height, c.minGlyph);
        EXPECT_LE(h.height, c.maxGlyph);
        // The glyph sits inside the cell.
        EXPECT_GE(h.top, 0);
        EXPECT_LE(h.top + h.height, g.lineHeight());
    }
}

TEST(Fonts, AnsiCodesAboveAsciiHaveTheirGlyphsAndAMissingFileNoFont) {
    auto font = plat::createFont(FontFace::StatusSans);
    ASSERT_NE(font, nullptr);
    const auto& g = dynamic_cast<const GlyphFont&>(*font);
    for (unsigned char code : {0x80 /* euro */, 0xE9 /* e acute */, 0x96 /* en dash */})
        EXPECT_GT(g.glyph(code).ink.size(), 0u) << int(code);
    EXPECT_EQ(GlyphFont::load("/nonexistent/font.ttf", 12), nullptr);
}

}  // namespace
