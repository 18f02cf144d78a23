// surface.h — the POSIX drawing surface: a 24-bit framebuffer that
// draws as a Windows device context does, and can be saved as PNG.
#pragma once

#include <string>

#include "platform/surface.h"

namespace plat {

class FrameSurface : public Surface {
public:
    // A black framebuffer of width x height pixels.
    FrameSurface(int width, int height) : frame_(width, height) {}

    int width() const { return frame_.width(); }
    int height() const { return frame_.height(); }
    // Rows top-down, blue, green, red, each padded to 4 bytes.
    const Bitmap& frame() const { return frame_; }
    Bitmap& frame() { return frame_; }
    Color pixel(int x, int y) const { return frame_.pixel(x, y); }

    [[nodiscard]] bool savePng(const std::string& path, std::string* error) const;

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
    Palette selectBackgroundPalette(Palette) override { return nullptr; }

private:
    Bitmap frame_;
};

}  // namespace plat
