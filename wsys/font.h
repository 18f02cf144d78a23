// font.h — a font rendered once with FreeType into a table of
// one-bit glyphs for the 256 ANSI codes, so that drawing needs no library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace plat {

class GlyphFont : public Font {
public:
    struct Glyph {
        int advance = 0;  // pixels the pen moves
        int left = 0;     // bitmap's left edge from the pen
        int top = 0;      // bitmap's top row from the cell's top
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> ink;  // width x height, 1 where the glyph is
    };

    // The font file at `path` with an em of `pixelSize` pixels. When
    // `lineHeight` is positive, the cell is that high with the baseline
    // `ascent` pixels below its top (a system font's fixed cell); else both
    // come from the font's own metrics. Null when the file cannot be read.
    static std::unique_ptr<GlyphFont> load(const std::string& path, int pixelSize,
                                           int lineHeight = 0, int ascent = 0);

    int lineHeight() const { return lineHeight_; }
    int ascent() const { return ascent_; }
    const Glyph& glyph(unsigned char code) const { return glyphs_[code]; }
    // The text's advance width in pixels.
    int textWidth(const char* text) const;

private:
    int lineHeight_ = 0;
    int ascent_ = 0;
    std::vector<Glyph> glyphs_;
};

// The font file fontconfig matches for a pattern such as "DejaVu Serif";
// empty when there is none.
std::string matchFontFile(const char* pattern);

}  // namespace plat
