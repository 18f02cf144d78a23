// text.cpp — FreeType text over fontconfig's DejaVu files.
#include "tools/skin-gen/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>
#include <vector>

namespace skin {
namespace {

// Coverage levels a glyph edge may take: enough to read, few enough for an
// 8-bit palette.
constexpr int COVERAGE_LEVELS = 4;

const char* patternOf(Face face) {
    switch (face) {
        case Face::Sans:
            return "DejaVu Sans:style=Book";
        case Face::SansBold:
            return "DejaVu Sans:style=Bold";
        case Face::Serif:
            return "DejaVu Serif:style=Book";
        case Face::SerifBold:
            return "DejaVu Serif:style=Bold";
    }
    return "DejaVu Sans";
}

std::string findFile(const char* pattern) {
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!p) throw std::runtime_error(std::string("bad font pattern ") + pattern);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    if (!match) throw std::runtime_error(std::string("no font for ") + pattern);
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    std::string path, name;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
        name = reinterpret_cast<const char*>(family);
    FcPatternDestroy(match);
    if (path.empty() || name.rfind("DejaVu", 0) != 0)
        throw std::runtime_error(std::string("fontconfig has no DejaVu face for ") + pattern +
                                 " (install fonts-dejavu-core)");
    return path;
}

std::vector<unsigned> codePoints(const std::string& text) {
    std::vector<unsigned> out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned cp = c;
        int more = 0;
        if (c >= 0xF0) {
            cp = c & 7u;
            more = 3;
        } else if (c >= 0xE0) {
            cp = c & 15u;
            more = 2;
        } else if (c >= 0xC0) {
            cp = c & 31u;
            more = 1;
        }
        ++i;
        for (; more > 0 && i < text.size(); --more, ++i)
            cp = cp << 6 | (static_cast<unsigned char>(text[i]) & 63u);
        out.push_back(cp);
    }
    return out;
}

}  // namespace

struct Fonts::Impl {
    FT_Library library = nullptr;
    FT_Face faces[4] = {};

    FT_Face face(Face f, int pixels) {
        FT_Face ft = faces[static_cast<int>(f)];
        if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(pixels)) != 0)
            throw std::runtime_error("cannot size font");
        return ft;
    }
};

Fonts::Fonts() : impl_(new Impl) {
    if (!FcInit()) throw std::runtime_error("fontconfig does not start");
    if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType does not start");
    for (int i = 0; i < 4; ++i) {
        const std::string file = findFile(patternOf(static_cast<Face>(i)));
        if (FT_New_Face(impl_->library, file.c_str(), 0, &impl_->faces[i]) != 0)
            throw std::runtime_error("cannot open font " + file);
    }
}

Fonts::~Fonts() {
    for (FT_Face f : impl_->faces)
        if (f) FT_Done_Face(f);
    if (impl_->library) FT_Done_FreeType(impl_->library);
    FcFini();  // the configuration FcInit loaded goes with the fonts
}

int Fonts::width(Face face, int pixels, const std::string& text) {
    FT_Face ft = impl_->face(face, pixels);
    int w = 0;
    for (unsigned cp : codePoints(text)) {
        if (FT_Load_Char(ft, cp, FT_LOAD_DEFAULT) != 0) continue;
        w += static_cast<int>(ft->glyph->advance.x >> 6);
    }
    return w;
}

int Fonts::capHeight(Face face, int pixels) {
    FT_Face ft = impl_->face(face, pixels);
    if (FT_Load_Char(ft, 'H', FT_LOAD_DEFAULT) != 0) return pixels * 3 / 4;
    return static_cast<int>(ft->glyph->metrics.horiBearingY >> 6);
}

void Fonts::draw(Canvas& canvas, Face face, int pixels, int x, int baseline,
                 const std::string& text, Rgb color) {
    FT_Face ft = impl_->face(face, pixels);
    int penX = x;
    for (unsigned cp : codePoints(text)) {
        if (FT_Load_Char(ft, cp, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = ft->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int value = bm.buffer[row * bm.pitch + col];
                const int level = (value * COVERAGE_LEVELS + 127) / 255;
                canvas.blend(penX + g->bitmap_left + static_cast<int>(col),
                             baseline - g->bitmap_top + static_cast<int>(row), color, level,
                             COVERAGE_LEVELS);
            }
        penX += static_cast<int>(g->advance.x >> 6);
    }
}

void Fonts::drawCentred(Canvas& canvas, Face face, int pixels, const Box& box,
                        const std::string& text, Rgb color) {
    const int w = width(face, pixels, text);
    const int cap = capHeight(face, pixels);
    const int x = box.left + (box.width() - w) / 2;
    const int baseline = box.top + (box.height() + cap) / 2;
    draw(canvas, face, pixels, x, baseline, text, color);
}

}  // namespace skin
