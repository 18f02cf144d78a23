// surface_win32.h — the Windows drawing surface: a device context.
#pragma once

#include <windows.h>

#include "platform/surface.h"

namespace plat {

// Draws into a device context that the caller owns (from BeginPaint or
// GetDC); the surface neither releases it nor restores its stretch mode.
class DcSurface : public Surface {
public:
    explicit DcSurface(HDC dc) : dc_(dc) {}
    HDC dc() const { return dc_; }

    void copyBitmap(int dstX, int dstY, int width, int height, const Bitmap& source, int srcX,
                    int srcY) override;
    int drawDib(int dstX, int dstY, int width, int height, int srcX, int srcY, unsigned startScan,
                unsigned scanLines, const void* header, const void* bits) override;
    int stretchDib(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                   int srcWidth, int srcHeight, const void* header, const void* bits) override;
    void fillRect(const Rect& rect, Color color) override;
    // Fonts other than those of createFont draw nothing.
    void drawText(const Font& font, int x, int y, const char* text, Color color,
                  const Color* background) override;
    Palette selectBackgroundPalette(Palette palette) override;

private:
    HDC dc_;
};

}  // namespace plat
