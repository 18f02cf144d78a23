// surface_check.cpp — the Windows drawing surface against the pixel rules the
// POSIX framebuffer follows: camera-like JPEGs decoded by decodePicture, drawn
// by drawPicture through a device context into a DIB section, and every
// pixel compared with what those rules pick from the picture block itself.
// Also the DIB helpers' sizes. Exit code 0 when every check passes.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "image/dib.h"
#include "image/draw_picture.h"
#include "image/jpeg_decoder.h"
#include "platform/memory.h"
#include "platform/win32/surface_win32.h"
#include "support/test_jpeg.h"

namespace {

using plat::Color;
using plat::Rect;

int failures = 0;

void report(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::string rectText(const Rect& r) {
    return format("(%d,%d)-(%d,%d)", r.left, r.top, r.right, r.bottom);
}

constexpr int CANVAS_WIDTH = 200;
constexpr int CANVAS_HEIGHT = 150;
constexpr Color BACKGROUND = plat::rgb(204, 204, 204);

// A top-down 24-bit DIB section selected into a memory device context: no
// window and no display needed.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
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
    int width() const { return width_; }
    int height() const { return height_; }
    // Call GdiFlush before reading after a drawing.
    Color pixel(int x, int y) const {
        const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
        const std::uint8_t* p = bits_ + static_cast<std::size_t>(y) * stride + 3 * x;
        return plat::rgb(p[2], p[1], p[0]);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint8_t* bits_ = nullptr;
};

// A 24-bit picture block read straight from its bytes: header fields at
// their offsets, rows of exactly width x 3 bytes as the decoder writes them
// (the device itself reads rows padded to 4 bytes), blue, green, red.
struct DibPixels {
    int width = 0;
    int height = 0;  // rows, positive
    bool bottomUp = true;
    const std::uint8_t* bits = nullptr;

    static DibPixels of(const void* block) {
        const auto* b = static_cast<const std::uint8_t*>(block);
        std::int32_t w, h;
        std::memcpy(&w, b + 4, 4);
        std::memcpy(&h, b + 8, 4);
        return {w, h < 0 ? -h : h, h > 0, b + 40};
    }
    // Pixel x of the memory row `row` (0 = first in memory).
    Color atMemoryRow(int x, int row) const {
        const std::uint8_t* p = bits + (static_cast<std::size_t>(row) * width + x) * 3;
        return plat::rgb(p[2], p[1], p[0]);
    }
    Color fromBottom(int x, int y) const { return atMemoryRow(x, bottomUp ? y : height - 1 - y); }
};

long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

long long ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}

// COLORONCOLOR's pick: the index into the source run (s pixels) for
// destination index i of d pixels. Shrinking keeps the last column of each
// run and the first row.
int pick(int i, int s, int d, bool column) {
    const long long I = i, S = s, D = d;
    if (D >= S) return static_cast<int>(floorDiv((2 * I + 1) * S - 1, 2 * D));
    if (column) return static_cast<int>(floorDiv((2 * I + 2) * S - D, 2 * D));
    return static_cast<int>(ceilDiv(2 * I * S + 1 - D, 2 * D));
}

using Expected = std::vector<Color>;

Expected background() {
    return Expected(static_cast<std::size_t>(CANVAS_WIDTH) * CANVAS_HEIGHT, BACKGROUND);
}

void put(Expected& e, int x, int y, Color c) {
    if (x >= 0 && x < CANVAS_WIDTH && y >= 0 && y < CANVAS_HEIGHT)
        e[static_cast<std::size_t>(y) * CANVAS_WIDTH + x] = c;
}

// The canvas after drawPicture(dest, source) of a bottom-up picture: the
// unscaled call shows picture pixel (source.left + i, source.top + j); the
// scaled one takes the source origin at the picture's lower-left corner, as
// the device counts it. Pixels whose source lies outside the picture stay.
Expected expectedDraw(const DibPixels& pic, const Rect& dest, const Rect& source) {
    Expected e = background();
    const int dw = dest.width(), dh = dest.height(), sw = source.width(), sh = source.height();
    const bool unscaled = dw == sw && dh == sh;
    for (int j = 0; j < dh; ++j)
        for (int i = 0; i < dw; ++i) {
            int x, fromBottom;
            if (unscaled) {
                x = source.left + i;
                fromBottom = pic.height - 1 - (source.top + j);
            } else {
                x = source.left + pick(i, sw, dw, true);
                fromBottom = source.top + sh - 1 - pick(j, sh, dh, false);
            }
            if (x < 0 || x >= pic.width || fromBottom < 0 || fromBottom >= pic.height) continue;
            put(e, dest.left + i, dest.top + j, pic.fromBottom(x, fromBottom));
        }
    return e;
}

// "" when the canvas holds exactly `want`, else how it differs.
std::string difference(const Canvas& canvas, const Expected& want) {
    GdiFlush();
    int bad = 0;
    std::string first;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const Color got = canvas.pixel(x, y);
            const Color w = want[static_cast<std::size_t>(y) * CANVAS_WIDTH + x];
            if (got == w) continue;
            if (bad++ == 0) first = format("(%d,%d) is %06X, not %06X", x, y, got, w);
        }
    return bad ? format("%d pixels differ, first %s", bad, first.c_str()) : "";
}

// A canvas cleared to the background through the surface itself.
struct Scene {
    Canvas canvas{CANVAS_WIDTH, CANVAS_HEIGHT};
    plat::DcSurface surface{canvas.dc()};
    Scene() { surface.fillRect({0, 0, CANVAS_WIDTH, CANVAS_HEIGHT}, BACKGROUND); }
};

// One drawPicture call compared pixel by pixel, and its result: the lines up
// to the source rectangle's top for the unscaled call, the picture's height
// for the scaled one.
void checkDraw(const char* name, plat::MemHandle picture, const Rect& dest, const Rect& source) {
    const std::string what =
        format("%s: %s from %s", name, rectText(dest).c_str(), rectText(source).c_str());
    Scene scene;
    if (!scene.canvas.ok()) return report(false, what + ": no DIB section");
    plat::MemLock lock(picture);
    const DibPixels pic = DibPixels::of(lock.get());
    const int result = drawPicture(scene.surface, dest, picture, source, nullptr);
    const bool unscaled = dest.width() == source.width() && dest.height() == source.height();
    const int wantResult =
        unscaled ? std::max(0, std::min(pic.height, pic.height - source.top)) : pic.height;
    const std::string diff = difference(scene.canvas, expectedDraw(pic, dest, source));
    const bool modeOk = unscaled || GetStretchBltMode(scene.canvas.dc()) == COLORONCOLOR;
    report(diff.empty() && result == wantResult && modeOk,
           what + format(": returns %d (want %d)", result, wantResult) +
               (modeOk ? "" : ", stretch mode not COLORONCOLOR") +
               (diff.empty() ? "" : ", " + diff));
}

// With a palette, drawPicture selects it for the drawing and puts the DC's
// own back; the pixels are those of a drawing without one.
void checkPaletteRestored(plat::MemHandle picture) {
    Scene scene;
    struct {
        WORD version, count;
        PALETTEENTRY entries[2];
    } logical{0x300, 2, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    const HGDIOBJ before = GetCurrentObject(scene.canvas.dc(), OBJ_PAL);
    const Rect dest{3, 4, 123, 88}, source{0, 0, 80, 56};
    (void)drawPicture(scene.surface, dest, picture, source, palette);
    const HGDIOBJ after = GetCurrentObject(scene.canvas.dc(), OBJ_PAL);
    plat::MemLock lock(picture);
    const std::string diff =
        difference(scene.canvas, expectedDraw(DibPixels::of(lock.get()), dest, source));
    report(palette && before == after && after != palette && diff.empty(),
           "a palette is selected for the drawing and the DC's own put back" +
               (diff.empty() ? std::string() : ", " + diff));
    if (palette) DeleteObject(palette);
}

// A top-down copy of a bottom-up 24-bit block (header with negative height).
std::vector<std::uint8_t> topDownCopy(const void* block) {
    const DibPixels pic = DibPixels::of(block);
    const std::size_t line = static_cast<std::size_t>(pic.width) * 3;
    std::vector<std::uint8_t> out(40 + line * pic.height);
    std::memcpy(out.data(), block, 40);
    const std::int32_t negative = -pic.height;
    std::memcpy(out.data() + 8, &negative, 4);
    for (int r = 0; r < pic.height; ++r)
        std::memcpy(out.data() + 40 + line * r, pic.bits + line * (pic.height - 1 - r), line);
    return out;
}

// A top-down DIB scaled at equal sizes: with source y 0 the device reads it
// from its top rows, with any other y from the lower-left origin.
void checkTopDown(plat::MemHandle picture) {
    plat::MemLock lock(picture);
    const std::vector<std::uint8_t> block = topDownCopy(lock.get());
    const DibPixels pic = DibPixels::of(block.data());
    for (int srcY : {0, 5}) {
        Scene scene;
        const int dx = 11, dy = 9, w = pic.width, h = pic.height / 2;
        const int result =
            scene.surface.stretchDib(dx, dy, w, h, 0, srcY, w, h, block.data(), block.data() + 40);
        Expected e = background();
        for (int j = 0; j < h; ++j) {
            const int row = srcY == 0 ? j : pic.height - 1 - (srcY + h - 1 - j);
            for (int i = 0; i < w; ++i) put(e, dx + i, dy + j, pic.atMemoryRow(i, row));
        }
        const std::string diff = difference(scene.canvas, e);
        report(diff.empty() && result == pic.height,
               format("top-down %dx%d scaled at its size, source y %d: returns %d", w, h, srcY,
                      result) +
                   (diff.empty() ? "" : ", " + diff));
    }
}

// The decoded block against libjpeg's own decoding of the same file.
void checkDecoded(const char* name, plat::MemHandle picture, const testsupport::RawImage& ref,
                  int mode) {
    if (!picture) return report(false, format("%s: decodes", name));
    plat::MemLock lock(picture);
    const auto* b = lock.as<const std::uint8_t>();
    DibHeader h;
    std::memcpy(&h, b, sizeof h);
    bool same = h.biSize == 40 && h.biWidth == ref.width && h.biHeight == ref.height &&
                h.biBitCount == 24 && h.biPlanes == 1 &&
                plat::memSize(picture) >= 40 + static_cast<std::size_t>(ref.width) * ref.height * 3;
    const std::size_t line = static_cast<std::size_t>(ref.width) * 3;
    for (int y = 0; same && y < ref.height; ++y)
        for (int x = 0; same && x < ref.width; ++x) {
            const std::uint8_t* want = ref.at(x, y);
            if (mode == DECODE_DISPLAY) {
                const std::uint8_t* p = b + 40 + (ref.height - 1 - y) * line + 3 * x;
                same = p[0] == want[2] && p[1] == want[1] && p[2] == want[0];
            } else {
                const std::uint8_t* p = b + 40 + y * line + 3 * x;
                same = p[0] == want[0] && p[1] == want[1] && p[2] == want[2];
            }
        }
    report(same, format("%s: %ldx%ld, the pixels of libjpeg's decoding", name,
                        static_cast<long>(h.biWidth), static_cast<long>(h.biHeight)));
}

void checkDibHelpers(plat::MemHandle thumbnail) {
    {
        plat::MemLock lock(thumbnail);
        const auto* b = lock.as<const std::uint8_t>();
        report(dibBits(b) == b + 40 && PaletteSize(b) == 0 && DibNumColors(b) == 0,
               format("decoded picture: bits at +%d, colour table %u bytes",
                      static_cast<int>(dibBits(b) - b), PaletteSize(b)));
        report(dibHeight(b) == 56, format("decoded picture: dibHeight %d", dibHeight(b)));
    }
    DibHeader info{};
    const BOOL filled = DibInfo(thumbnail, &info);
    report(filled == TRUE && info.biSizeImage == 80u * 3 * 56 && info.biClrUsed == 0,
           format("DibInfo of the thumbnail: biSizeImage %lu, biClrUsed %lu",
                  static_cast<unsigned long>(info.biSizeImage),
                  static_cast<unsigned long>(info.biClrUsed)));
    report(DibInfo(nullptr, &info) == FALSE, "DibInfo of no handle is FALSE");

    DibHeader eight{};
    eight.biSize = 40;
    eight.biWidth = 16;
    eight.biHeight = 16;
    eight.biPlanes = 1;
    eight.biBitCount = 8;
    for (std::uint32_t used : {0u, 20u}) {
        eight.biClrUsed = used;
        const unsigned want = used ? 80 : 1024;
        report(PaletteSize(&eight) == want && DibNumColors(&eight) == want / 4,
               format("8-bit header, biClrUsed %u: colour table %u bytes (%u colours)", used,
                      PaletteSize(&eight), DibNumColors(&eight)));
    }
    // A core header: 3-byte entries, and the 16-bit height.
    std::vector<std::uint8_t> core(12 + 768 + 16 * 9);
    const std::uint8_t coreHeader[12] = {12, 0, 0, 0, 16, 0, 9, 0, 1, 0, 8, 0};
    std::memcpy(core.data(), coreHeader, sizeof coreHeader);
    const long offset = static_cast<long>(dibBits(core.data()) - core.data());
    report(PaletteSize(core.data()) == 768 && offset == 12 + 768 && dibHeight(core.data()) == 9,
           format("8-bit core header: colour table %u bytes, bits at +%ld, height %d",
                  PaletteSize(core.data()), offset, dibHeight(core.data())));
}

}  // namespace

int main() {
    // Camera-like pictures: a thumbnail and a low-resolution photograph.
    const testsupport::RawImage thumbImage = testsupport::patternImage(80, 56, 3, 5);
    const testsupport::RawImage photoImage = testsupport::patternImage(320, 240, 3, 9);
    const std::vector<std::uint8_t> thumbJpeg = testsupport::encodeJpeg(thumbImage);
    const std::vector<std::uint8_t> photoJpeg = testsupport::encodeJpeg(photoImage);
    report(thumbJpeg.size() >= DECODE_MIN_JPEG_SIZE && photoJpeg.size() >= DECODE_MIN_JPEG_SIZE,
           format("JPEGs made: %u and %u bytes", static_cast<unsigned>(thumbJpeg.size()),
                  static_cast<unsigned>(photoJpeg.size())));

    plat::MemBlock thumb(decodePicture(thumbJpeg.data(), thumbJpeg.size(), DECODE_DISPLAY));
    plat::MemBlock photo(decodePicture(photoJpeg.data(), photoJpeg.size(), DECODE_DISPLAY));
    plat::MemBlock photoFull(
        decodePicture(photoJpeg.data(), photoJpeg.size(), DECODE_FULL_PICTURE));
    checkDecoded("thumbnail, display mode", thumb.get(), testsupport::referenceDecode(thumbJpeg),
                 DECODE_DISPLAY);
    const testsupport::RawImage photoRef = testsupport::referenceDecode(photoJpeg);
    checkDecoded("picture, display mode", photo.get(), photoRef, DECODE_DISPLAY);
    checkDecoded("picture, full-picture mode", photoFull.get(), photoRef, DECODE_FULL_PICTURE);
    if (!thumb || !photo || !photoFull) {
        std::printf("surface check: FAILED\n");
        return 1;
    }

    checkDibHelpers(thumb.get());

    // The thumbnail into its cell, enlarged, shrunk, and parts of it.
    checkDraw("thumbnail", thumb.get(), {7, 5, 87, 61}, {0, 0, 80, 56});
    checkDraw("thumbnail enlarged", thumb.get(), {7, 5, 127, 89}, {0, 0, 80, 56});
    checkDraw("thumbnail shrunk", thumb.get(), {7, 5, 47, 33}, {0, 0, 80, 56});
    checkDraw("thumbnail shrunk unevenly", thumb.get(), {1, 2, 54, 39}, {0, 0, 80, 56});
    checkDraw("thumbnail part", thumb.get(), {20, 30, 60, 58}, {10, 8, 50, 36});
    checkDraw("thumbnail part enlarged", thumb.get(), {7, 5, 117, 82}, {13, 9, 50, 36});
    checkDraw("thumbnail source partly outside", thumb.get(), {7, 5, 127, 89}, {40, 20, 120, 76});
    checkDraw("thumbnail source partly before", thumb.get(), {7, 5, 127, 89}, {-20, -10, 60, 46});
    checkDraw("thumbnail part outside, unscaled", thumb.get(), {7, 5, 87, 61}, {40, -10, 120, 46});
    checkDraw("thumbnail past the canvas edge", thumb.get(), {150, 110, 270, 194}, {0, 0, 80, 56});
    // The full-size picture in both layouts: the full-picture block is
    // drawn as its header describes it (upside down, red and blue swapped).
    checkDraw("picture shrunk", photo.get(), {7, 5, 87, 65}, {0, 0, 320, 240});
    checkDraw("picture shrunk unevenly", photo.get(), {0, 0, 117, 93}, {0, 0, 320, 240});
    checkDraw("picture part enlarged", photo.get(), {2, 3, 182, 138}, {201, 37, 261, 82});
    checkDraw("picture part unscaled", photo.get(), {0, 0, 200, 150}, {100, 70, 300, 220});
    checkDraw("full-picture block shrunk", photoFull.get(), {7, 5, 87, 65}, {0, 0, 320, 240});

    // Odd widths: rows of width x 3 bytes that are not a multiple of 4.
    for (const auto& [width, height] : {std::pair{81, 56}, std::pair{83, 9}, std::pair{2, 3}}) {
        const testsupport::RawImage image = testsupport::patternImage(width, height, 3, width);
        const std::vector<std::uint8_t> jpeg = testsupport::encodeJpeg(image);
        plat::MemBlock odd(decodePicture(jpeg.data(), jpeg.size(), DECODE_DISPLAY));
        const std::string name = format("%dx%d picture", width, height);
        checkDecoded(name.c_str(), odd.get(), testsupport::referenceDecode(jpeg), DECODE_DISPLAY);
        if (!odd) continue;
        checkDraw((name + " unscaled").c_str(), odd.get(), {5, 6, 5 + width, 6 + height},
                  {0, 0, width, height});
        checkDraw((name + " enlarged").c_str(), odd.get(), {1, 2, 1 + 2 * width, 2 + 2 * height},
                  {0, 0, width, height});
        checkDraw((name + " shrunk").c_str(), odd.get(),
                  {3, 3, 3 + (width + 1) / 2, 3 + (height + 1) / 2}, {0, 0, width, height});
    }

    checkPaletteRestored(thumb.get());
    checkTopDown(thumb.get());

    std::printf("%s\n", failures ? "surface check: FAILED" : "surface check: passed");
    return failures ? 1 : 0;
}
