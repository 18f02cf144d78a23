// null_surface.h — a surface that draws nothing: the canvas of a window that
// is not there.
#pragma once

#include "platform/surface.h"

namespace plat {

class NullSurface : public Surface {
public:
    void copyBitmap(int, int, int, int, const Bitmap&, int, int) override {}
    int drawDib(int, int, int, int, int, int, unsigned, unsigned, const void*,
                const void*) override {
        return 0;
    }
    int stretchDib(int, int, int, int, int, int, int, int, const void*, const void*) override {
        return 0;
    }
    void fillRect(const Rect&, Color) override {}
    void drawText(const Font&, int, int, const char*, Color, const Color*) override {}
    Palette selectBackgroundPalette(Palette) override { return nullptr; }
};

}  // namespace plat
