// font_win32.cpp — the window's fonts: the labels' "MS SERIF" and the stock
// system font of the status line.
#include "platform/win32/font_win32.h"

namespace plat {

std::unique_ptr<Font> createFont(FontFace face) {
    if (face == FontFace::StatusSans) {
        HFONT system = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        if (!system) return nullptr;
        return std::make_unique<GdiFont>(system, false);
    }
    HFONT serif = CreateFontA(-9, 0, 0, 0, 400, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                              CLIP_STROKE_PRECIS, DRAFT_QUALITY, 0, "MS SERIF");
    if (!serif) return nullptr;
    return std::make_unique<GdiFont>(serif, true);
}

}  // namespace plat
