// font_library.h — the FreeType and fontconfig functions the fonts use, taken
// from their libraries when the first font is made: a process that draws no
// text (a decode, a listing of sources) loads neither.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace plat {

// Every FreeType and fontconfig function the fonts call; a new call needs its
// name here.
// clang-format off
#define PXCM_FONT_FUNCTIONS(X) \
    X(FT_Done_Face) \
    X(FT_Done_FreeType) \
    X(FT_Init_FreeType) \
    X(FT_Load_Char) \
    X(FT_New_Face) \
    X(FT_Set_Pixel_Sizes) \
    X(FcConfigDestroy) \
    X(FcConfigSubstitute) \
    X(FcDefaultSubstitute) \
    X(FcFontMatch) \
    X(FcInitLoadConfigAndFonts) \
    X(FcNameParse) \
    X(FcPatternDestroy) \
    X(FcPatternGetString)
// clang-format on

struct FontApi {
#define PXCM_FONT_MEMBER(name) decltype(&::name) name = nullptr;
    PXCM_FONT_FUNCTIONS(PXCM_FONT_MEMBER)
#undef PXCM_FONT_MEMBER
};

// The table, loaded on the first call and kept until the module goes; null
// when either library or one of its functions is missing (the window then
// draws without text, as with no font file).
const FontApi* fontLibrary();

}  // namespace plat
