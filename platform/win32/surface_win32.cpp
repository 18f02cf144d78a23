// surface_win32.cpp — the drawing surface over GDI.
#include "platform/win32/surface_win32.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/font_win32.h"

namespace plat {

void DcSurface::copyBitmap(int dstX, int dstY, int width, int height, const Bitmap& source,
                           int srcX, int srcY) {
    // Keep the source part inside the bitmap, as BitBlt from a bitmap does.
    const int left = std::max({0, -srcX}), top = std::max({0, -srcY});
    const int right = std::min(width, source.width() - srcX),
              bottom = std::min(height, source.height() - srcY);
    if (left >= right || top >= bottom) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = source.width();
    info.bmiHeader.biHeight = -source.height();  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int w = right - left, h = bottom - top;
    // The device takes the source origin at the lower-left corner even for
    // a top-down DIB (StretchDIBits would take the top rows when that
    // origin is 0, so the unscaled call it is).
    const int fromBottom = source.height() - (srcY + top) - h;
    SetDIBitsToDevice(dc_, dstX + left, dstY + top, static_cast<DWORD>(w), static_cast<DWORD>(h),
                      srcX + left, fromBottom, 0, static_cast<UINT>(source.height()), source.data(),
                      &info, DIB_RGB_COLORS);
}

int DcSurface::drawDib(int dstX, int dstY, int width, int height, int srcX, int srcY,
                       unsigned startScan, unsigned scanLines, const void* header,
                       const void* bits) {
    return SetDIBitsToDevice(dc_, dstX, dstY, static_cast<DWORD>(width), static_cast<DWORD>(height),
                             srcX, srcY, startScan, scanLines, bits,
                             static_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
}

int DcSurface::stretchDib(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                          int srcWidth, int srcHeight, const void* header, const void* bits) {
    SetStretchBltMode(dc_, COLORONCOLOR);
    return StretchDIBits(dc_, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight,
                         bits, static_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
}

void DcSurface::fillRect(const Rect& rect, Color color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void DcSurface::drawText(const Font& font, int x, int y, const char* text, Color color,
                         const Color* background) {
    const auto* gdi = dynamic_cast<const GdiFont*>(&font);
    if (!gdi || !text) return;
    // The device context is the caller's: everything set here is put back.
    HGDIOBJ oldFont = SelectObject(dc_, gdi->handle());
    const COLORREF oldColor = SetTextColor(dc_, color);
    const int oldMode = SetBkMode(dc_, background ? OPAQUE : TRANSPARENT);
    const COLORREF oldBackground = background ? SetBkColor(dc_, *background) : CLR_INVALID;
    const UINT oldAlign = SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TextOutA(dc_, x, y, text, static_cast<int>(std::strlen(text)));
    SetTextAlign(dc_, oldAlign);
    if (background) SetBkColor(dc_, oldBackground);
    SetBkMode(dc_, oldMode);
    SetTextColor(dc_, oldColor);
    if (oldFont) SelectObject(dc_, oldFont);
}

Palette DcSurface::selectBackgroundPalette(Palette palette) {
    return SelectPalette(dc_, static_cast<HPALETTE>(palette), TRUE);
}

}  // namespace plat
