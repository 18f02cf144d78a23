// surface.h — the drawing surface of the camera window: bitmap copies, DIB
// draws with the device's rules, and solid fills. Windows: a device context.
// POSIX: a 24-bit framebuffer (wsys/surface.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// Rectangles are left, top, right, bottom; a point is inside when
// left <= x < right and top <= y < bottom.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// A colour as Windows keeps it (COLORREF): 0x00BBGGRR.
using Color = std::uint32_t;
constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<Color>(r) | static_cast<Color>(g) << 8 | static_cast<Color>(b) << 16;
}
constexpr std::uint8_t redOf(Color c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t greenOf(Color c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t blueOf(Color c) {
    return static_cast<std::uint8_t>(c >> 16);
}

// A 24-bit picture in memory: rows top-down, each pixel blue, green, red,
// each row padded to a multiple of 4 bytes (so that it is also the bits of
// a top-down 24-bit DIB). A new bitmap is black.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height)
        : width_(width > 0 ? width : 0),
          height_(height > 0 ? height : 0),
          stride_((static_cast<std::size_t>(width_) * 3 + 3) & ~static_cast<std::size_t>(3)),
          pixels_(stride_ * static_cast<std::size_t>(height_)) {}

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return stride_; }
    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * stride_;
    }
    std::uint8_t* data() { return pixels_.data(); }
    const std::uint8_t* data() const { return pixels_.data(); }
    Color pixel(int x, int y) const {
        const std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
        return rgb(p[2], p[1], p[0]);
    }
    void setPixel(int x, int y, Color c) {
        std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
        p[0] = blueOf(c);
        p[1] = greenOf(c);
        p[2] = redOf(c);
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// A logical palette (HPALETTE on Windows); POSIX surfaces are true colour
// and have none.
using Palette = void*;

// The window's two fonts. Windows: the label font "MS SERIF", height -9,
// weight 400, and the device context's own (system) font for the status line.
// POSIX: FreeType over fonts found with fontconfig, a 9-pixel serif and a
// sans of the system font's size.
enum class FontFace { LabelSerif, StatusSans };

class Font {
public:
    virtual ~Font() = default;
};

// Null when the font cannot be had.
std::unique_ptr<Font> createFont(FontFace face);

// DIBs are given as the packed block's start (a BITMAPINFOHEADER or
// BITMAPCOREHEADER with its colour table, colours as RGB values) and its
// bits, rows padded to 4 bytes as the device reads them.
class Surface {
public:
    virtual ~Surface() = default;

    // BitBlt with SRCCOPY from a bitmap: its part at (srcX, srcY), width x
    // height, to (dstX, dstY). Parts outside either side are not drawn.
    virtual void copyBitmap(int dstX, int dstY, int width, int height, const Bitmap& source,
                            int srcX, int srcY) = 0;

    // SetDIBitsToDevice: unscaled. The source origin is the picture's
    // lower-left corner, for bottom-up and top-down DIBs alike: destination
    // row dstY + j shows the picture row srcY + height - 1 - j counted from
    // the bottom. `bits` holds the picture rows startScan .. startScan +
    // scanLines - 1 (from the bottom) in the DIB's own row order. Returns
    // the scan lines drawn as GDI counts them (the band's lines up to the
    // source rectangle's top), 0 when nothing can be drawn.
    virtual int drawDib(int dstX, int dstY, int width, int height, int srcX, int srcY,
                        unsigned startScan, unsigned scanLines, const void* header,
                        const void* bits) = 0;

    // StretchDIBits with SRCCOPY in COLORONCOLOR mode: one source pixel per
    // destination pixel, columns and rows dropped when shrinking. Source
    // origin as for drawDib. The POSIX surface picks pixels as GDI does,
    // with i counted from the destination rectangle's left (or top), S the
    // source and D the destination width (or height), and source columns
    // (or rows) counted from the source rectangle's left (or top):
    //   enlarging (D >= S):    floor(((2i + 1) S - 1) / 2D)
    //   shrinking, columns:    floor(((2i + 2) S - D) / 2D)   (last of its run)
    //   shrinking, rows:       ceil((2i S + 1 - D) / 2D)      (first of its run)
    // Parts of the source rectangle outside the picture are not drawn. Like
    // GDI, a top-down DIB drawn at its own size with srcY 0 is read from its
    // top rows.
    // Returns the DIB's height in scan lines, 0 when nothing can be drawn.
    virtual int stretchDib(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                           int srcWidth, int srcHeight, const void* header, const void* bits) = 0;

    // Fills the rectangle with a solid colour (FillRect with a solid brush).
    virtual void fillRect(const Rect& rect, Color color) = 0;

    // TextOut with `font` at (x, y), the top-left corner of the text's cell:
    // in `color`, on an opaque `background` when given, else transparent.
    virtual void drawText(const Font& font, int x, int y, const char* text, Color color,
                          const Color* background) = 0;

    // SelectPalette as a background palette; returns the palette replaced.
    virtual Palette selectBackgroundPalette(Palette palette) = 0;
};

}  // namespace plat
