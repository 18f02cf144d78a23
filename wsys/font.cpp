// font.cpp — the window's fonts on POSIX: fontconfig finds the files,
// FreeType renders the glyphs once (both opened on first use), without anti-aliasing, as the
// Windows bitmap fonts draw.
#include "wsys/font.h"

#include <mutex>

#include "wsys/font_library.h"

namespace plat {
namespace {

// Unicode of the ANSI (Windows-1252) codes 0x80..0x9F; the rest of the
// code page is Latin-1. Unassigned codes map to 0 (the font's missing glyph).
constexpr std::uint16_t kAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

unsigned long unicodeOf(unsigned char code) {
    return code >= 0x80 && code < 0xA0 ? kAnsiHigh[code - 0x80] : code;
}

struct LibraryDeleter {
    void operator()(FT_Library library) const { fontLibrary()->FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { fontLibrary()->FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

int roundedPixels(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

}  // namespace

std::unique_ptr<GlyphFont> GlyphFont::load(const std::string& path, int pixelSize, int lineHeight,
                                           int ascent) {
    const FontApi* ft = fontLibrary();
    if (!ft) return nullptr;
    FT_Library rawLibrary = nullptr;
    if (ft->FT_Init_FreeType(&rawLibrary) != 0) return nullptr;
    LibraryHandle library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (ft->FT_New_Face(library.get(), path.c_str(), 0, &rawFace) != 0) return nullptr;
    FaceHandle face(rawFace);
    if (ft->FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(pixelSize)) != 0) return nullptr;

    std::unique_ptr<GlyphFont> font(new GlyphFont);
    if (lineHeight > 0) {
        font->lineHeight_ = lineHeight;
        font->ascent_ = ascent;
    } else {
        const FT_Size_Metrics& m = face->size->metrics;
        font->ascent_ = roundedPixels(m.ascender);
        font->lineHeight_ = font->ascent_ + roundedPixels(-m.descender);
    }
    font->glyphs_.resize(256);
    for (int code = 0; code < 256; ++code) {
        Glyph& g = font->glyphs_[code];
        const unsigned long unicode = unicodeOf(static_cast<unsigned char>(code));
        if (ft->FT_Load_Char(face.get(), unicode, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        g.advance = roundedPixels(slot->advance.x);
        const FT_Bitmap& b = slot->bitmap;
        if (b.pixel_mode != FT_PIXEL_MODE_MONO) continue;
        g.left = slot->bitmap_left;
        g.top = font->ascent_ - slot->bitmap_top;
        g.width = static_cast<int>(b.width);
        g.height = static_cast<int>(b.rows);
        g.ink.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
            for (int x = 0; x < g.width; ++x)
                g.ink[static_cast<std::size_t>(y * g.width + x)] =
                    (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
    return font;
}

int GlyphFont::textWidth(const char* text) const {
    int width = 0;
    for (const char* p = text; p && *p; ++p)
        width += glyphs_[static_cast<unsigned char>(*p)].advance;
    return width;
}

std::string matchFontFile(const char* pattern) {
    // A configuration of our own, so that nothing global is torn down.
    const FontApi* fc = fontLibrary();
    if (!fc) return {};
    FcConfig* config = fc->FcInitLoadConfigAndFonts();
    if (!config) return {};
    std::string file;
    if (FcPattern* wanted = fc->FcNameParse(reinterpret_cast<const FcChar8*>(pattern))) {
        fc->FcConfigSubstitute(config, wanted, FcMatchPattern);
        fc->FcDefaultSubstitute(wanted);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = fc->FcFontMatch(config, wanted, &result)) {
            FcChar8* name = nullptr;
            if (fc->FcPatternGetString(match, FC_FILE, 0, &name) == FcResultMatch && name)
                file = reinterpret_cast<const char*>(name);
            fc->FcPatternDestroy(match);
        }
        fc->FcPatternDestroy(wanted);
    }
    fc->FcConfigDestroy(config);
    return file;
}

std::unique_ptr<Font> createFont(FontFace face) {
    // Matching loads fontconfig's whole configuration and loading renders
    // 256 glyphs, milliseconds together: each face is made once per process
    // and every window gets a copy.
    static std::mutex lock;
    static std::unique_ptr<GlyphFont> made[2];
    static bool tried[2] = {false, false};
    const bool label = face == FontFace::LabelSerif;
    const int k = label ? 0 : 1;
    const std::lock_guard<std::mutex> guard(lock);
    if (!tried[k]) {
        tried[k] = true;
        // The labels' 9-pixel serif; the status line in the cell of the
        // Windows system font (16 pixels high, baseline 13 pixels down).
        const std::string file = matchFontFile(label ? "DejaVu Serif" : "DejaVu Sans");
        if (!file.empty())
            made[k] = label ? GlyphFont::load(file, 9) : GlyphFont::load(file, 13, 16, 13);
    }
    if (!made[k]) return nullptr;
    return std::make_unique<GlyphFont>(*made[k]);
}

}  // namespace plat
