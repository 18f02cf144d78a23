// text_check.cpp — text on the Windows drawing surface: both fonts of the
// window draw inside the text cell that GDI measures, an opaque cell is
// filled whole so that a run of blanks clears an earlier text, transparent
// text keeps the background, and the device context gets its own font,
// colour and background mode back. Exit code 0 when every check passes.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32/font_win32.h"
#include "platform/win32/surface_win32.h"

namespace {

using plat::Color;

int failures = 0;

void report(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

constexpr int WIDTH = 600;
constexpr int HEIGHT = 60;
constexpr Color FIELD = plat::rgb(10, 120, 30);
constexpr Color GREY = plat::rgb(204, 204, 204);
constexpr Color BLACK = plat::rgb(0, 0, 0);

// A top-down 24-bit DIB section in a memory device context.
class Canvas {
public:
    Canvas() {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = WIDTH;
        info.bmiHeader.biHeight = -HEIGHT;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        if (dc_) bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_) old_ = SelectObject(dc_, bitmap_);
        bits_ = static_cast<const std::uint8_t*>(bits);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    bool ok() const { return dc_ && bitmap_ && old_ && bits_; }
    HDC dc() const { return dc_; }
    Color pixel(int x, int y) const {
        GdiFlush();
        const std::size_t stride = (static_cast<std::size_t>(WIDTH) * 3 + 3) & ~std::size_t{3};
        const std::uint8_t* p = bits_ + static_cast<std::size_t>(y) * stride + 3 * x;
        return plat::rgb(p[2], p[1], p[0]);
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint8_t* bits_ = nullptr;
};

// Pixels inside and outside a rectangle that are not `colour`.
struct Count {
    int inside = 0;
    int outside = 0;
    int insideOf = 0;  // inside and exactly `colour`
};
Count differing(const Canvas& c, RECT r, Color colour) {
    Count n;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            const bool same = c.pixel(x, y) == colour;
            if (in && same) ++n.insideOf;
            if (!same) ++(in ? n.inside : n.outside);
        }
    return n;
}

RECT cellOf(HDC dc, const plat::GdiFont& font, int x, int y, const char* text) {
    HGDIOBJ old = SelectObject(dc, font.handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, old);
    return {x, y, x + size.cx, y + size.cy};
}

void checkFace(const char* name, plat::FontFace face) {
    const std::string prefix = std::string(name) + ": ";
    auto font = plat::createFont(face);
    const auto* gdi = dynamic_cast<const plat::GdiFont*>(font.get());
    report(gdi != nullptr, prefix + "font made");
    if (!gdi) return;
    Canvas canvas;
    report(canvas.ok(), prefix + "canvas made");
    if (!canvas.ok()) return;
    plat::DcSurface surface(canvas.dc());
    surface.fillRect({0, 0, WIDTH, HEIGHT}, FIELD);

    const HGDIOBJ dcFont = GetCurrentObject(canvas.dc(), OBJ_FONT);
    const COLORREF dcColour = GetTextColor(canvas.dc());
    const int dcMode = GetBkMode(canvas.dc());

    const char* text = "Updating camera info. Please wait...";
    const RECT cell = cellOf(canvas.dc(), *gdi, 10, 20, text);
    report(cell.right > cell.left + 20 && cell.bottom > cell.top + 5, prefix + "cell measured");
    surface.drawText(*font, 10, 20, text, BLACK, &GREY);
    const Count notField = differing(canvas, cell, FIELD);
    const Count notGrey = differing(canvas, cell, GREY);
    report(notField.outside == 0, prefix + "opaque text stays inside its cell");
    report(notField.inside == (cell.right - cell.left) * (cell.bottom - cell.top),
           prefix + "opaque text fills its whole cell");
    report(notGrey.inside > 30, prefix + "text drawn in the cell");

    surface.drawText(*font, 10, 20, std::string(61, ' ').c_str(), BLACK, &GREY);
    report(differing(canvas, cell, GREY).inside == 0, prefix + "61 blanks clear the text");

    surface.fillRect({0, 0, WIDTH, HEIGHT}, FIELD);
    surface.drawText(*font, 10, 20, "Wg", BLACK, nullptr);
    const RECT small = cellOf(canvas.dc(), *gdi, 10, 20, "Wg");
    const Count transparent = differing(canvas, small, FIELD);
    report(transparent.inside > 0 && transparent.insideOf > 0 && transparent.outside == 0,
           prefix + "transparent text keeps the background");

    report(GetCurrentObject(canvas.dc(), OBJ_FONT) == dcFont &&
               GetTextColor(canvas.dc()) == dcColour && GetBkMode(canvas.dc()) == dcMode,
           prefix + "font, colour and mode of the device context restored");
}

}  // namespace

int main() {
    checkFace("label serif", plat::FontFace::LabelSerif);
    checkFace("status sans", plat::FontFace::StatusSans);
    // The stock font is shared: a second one and its deletion leave it usable.
    {
        auto a = plat::createFont(plat::FontFace::StatusSans);
        auto b = plat::createFont(plat::FontFace::StatusSans);
        a.reset();
        LOGFONTA info{};
        report(b && GetObjectA(dynamic_cast<const plat::GdiFont&>(*b).handle(), sizeof info,
                               &info) == sizeof info,
               "stock font still there after one of its users went");
    }
    std::printf("%s\n", failures ? "text check: FAILED" : "text check: passed");
    return failures ? 1 : 0;
}
