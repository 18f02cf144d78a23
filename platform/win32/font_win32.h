// font_win32.h — a GDI font for the drawing surface: one the module made, or
// a stock font that is never deleted.
#pragma once

#include <windows.h>

#include "platform/surface.h"

namespace plat {

class GdiFont : public Font {
public:
    GdiFont(HFONT font, bool owned) : font_(font), owned_(owned) {}
    ~GdiFont() override {
        if (owned_) DeleteObject(font_);
    }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;
    HFONT handle() const { return font_; }

private:
    HFONT font_;
    bool owned_;
};

}  // namespace plat
