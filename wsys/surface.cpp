// surface.cpp — drawing into the 24-bit framebuffer with the pixel
// rules of a Windows device context. Every operation works a row at a time.
#include "wsys/surface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/dib_layout.h"
#include "platform/png_file.h"
#include "wsys/font.h"

namespace plat {
namespace {

using i64 = long long;

// What drawing needs to know of a DIB.
struct DibFormat {
    int width = 0;
    int height = 0;  // in rows, positive
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;
    std::uint8_t colors[256][3] = {};  // colour table as blue, green, red
};

// Uncompressed DIBs of 1, 4, 8, 24 or 32 bits with an information header
// (or a larger one) or a core header. The caller's DIB has no size, as in
// GDI: the header is taken on trust as far as it says it reaches.
bool readDibFormat(const void* header, DibFormat* f) {
    DibLayout d;
    if (!readDibLayout(header, SIZE_MAX, &d) || d.compression != 0) return false;
    switch (d.bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
        case 32:
            break;
        default:
            return false;
    }
    f->width = static_cast<int>(d.width);
    f->height = static_cast<int>(d.height);
    if (f->width <= 0 || f->height <= 0) return false;
    f->bottomUp = d.bottomUp;
    f->bitCount = d.bitCount;
    f->stride = static_cast<std::size_t>(d.stride);
    const std::size_t entrySize = d.headerSize == DIB_CORE_HEADER_SIZE ? 3 : 4;
    const std::uint32_t entries = d.bitCount <= 8 ? d.coloursUsed : 0;
    const std::uint8_t* table = static_cast<const std::uint8_t*>(header) + d.headerSize;
    for (std::uint32_t i = 0; i < entries; ++i) std::memcpy(f->colors[i], table + i * entrySize, 3);
    return true;
}

// Pixels [x0, x0 + count) of one DIB row as blue, green, red.
void convertSpan(const DibFormat& f, const std::uint8_t* row, i64 x0, i64 count,
                 std::uint8_t* out) {
    switch (f.bitCount) {
        case 24:
            std::memcpy(out, row + 3 * x0, static_cast<std::size_t>(3 * count));
            return;
        case 32:
            for (i64 x = x0; x < x0 + count; ++x, out += 3) std::memcpy(out, row + 4 * x, 3);
            return;
        case 8:
            for (i64 x = x0; x < x0 + count; ++x, out += 3) std::memcpy(out, f.colors[row[x]], 3);
            return;
        case 4:
            for (i64 x = x0; x < x0 + count; ++x, out += 3)
                std::memcpy(out, f.colors[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15], 3);
            return;
        case 1:
            for (i64 x = x0; x < x0 + count; ++x, out += 3)
                std::memcpy(out, f.colors[(row[x >> 3] >> (7 - (x & 7))) & 1], 3);
            return;
        default:
            return;
    }
}

// The indices i in [0, n) for which start + i falls in [0, limit).
void clip(i64 start, i64 limit, i64* from, i64* to) {
    *from = std::max(*from, -start);
    *to = std::min(*to, limit - start);
}

}  // namespace

bool FrameSurface::savePng(const std::string& path, std::string* error) const {
    return writePng(path, frame_.width(), frame_.height(), frame_.data(),
                    static_cast<std::ptrdiff_t>(frame_.stride()), true, error);
}

void FrameSurface::copyBitmap(int dstX, int dstY, int width, int height, const Bitmap& source,
                              int srcX, int srcY) {
    i64 i0 = 0, i1 = width, j0 = 0, j1 = height;
    clip(dstX, frame_.width(), &i0, &i1);
    clip(srcX, source.width(), &i0, &i1);
    clip(dstY, frame_.height(), &j0, &j1);
    clip(srcY, source.height(), &j0, &j1);
    if (i0 >= i1 || j0 >= j1) return;
    const auto bytes = static_cast<std::size_t>(3 * (i1 - i0));
    // A copy within the framebuffer itself may overlap: walk away from it.
    const bool upwards = &source == &frame_ && dstY > srcY;
    for (i64 k = 0; k < j1 - j0; ++k) {
        const i64 j = upwards ? j1 - 1 - k : j0 + k;
        std::memmove(frame_.row(static_cast<int>(dstY + j)) + 3 * (dstX + i0),
                     source.row(static_cast<int>(srcY + j)) + 3 * (srcX + i0), bytes);
    }
}

int FrameSurface::drawDib(int dstX, int dstY, int width, int height, int srcX, int srcY,
                          unsigned startScan, unsigned scanLines, const void* header,
                          const void* bits) {
    DibFormat f;
    if (!bits || !readDibFormat(header, &f)) return 0;
    if (startScan >= static_cast<unsigned>(f.height) || width <= 0 || height <= 0) return 0;
    if (srcY >= f.height || static_cast<i64>(srcY) + height <= 0) return 0;
    const i64 lines = std::min<i64>(scanLines, f.height - static_cast<i64>(startScan));
    const i64 bandEnd = startScan + lines;
    i64 i0 = 0, i1 = width, j0 = 0, j1 = height;
    clip(srcX, f.width, &i0, &i1);
    if (i0 >= i1) return 0;
    clip(dstX, frame_.width(), &i0, &i1);
    clip(dstY, frame_.height(), &j0, &j1);
    const auto* b = static_cast<const std::uint8_t*>(bits);
    for (i64 j = j0; i0 < i1 && j < j1; ++j) {
        // Picture row counted from the bottom, and its place in the band.
        const i64 fromBottom = static_cast<i64>(srcY) + height - 1 - j;
        if (fromBottom < static_cast<i64>(startScan) || fromBottom >= bandEnd) continue;
        const i64 memoryRow = f.bottomUp ? fromBottom - startScan : bandEnd - 1 - fromBottom;
        const std::uint8_t* row = b + static_cast<std::size_t>(memoryRow) * f.stride;
        convertSpan(f, row, srcX + i0, i1 - i0,
                    frame_.row(static_cast<int>(dstY + j)) + 3 * (dstX + i0));
    }
    if (!f.bottomUp)
        return scanLines > static_cast<unsigned>(f.height) ? 0 : static_cast<int>(lines);
    // GDI counts the band's lines up to the top of the source rectangle.
    const i64 top = std::min<i64>(static_cast<i64>(srcY) + height, bandEnd) - startScan;
    return static_cast<int>(std::max<i64>(0, std::min<i64>(top, lines)));
}

namespace {

i64 ceilDiv(i64 a, i64 b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// Source index, from the source rectangle's start, for destination index i.
i64 stretchColumn(i64 i, i64 src, i64 dst) {
    return dst >= src ? ((2 * i + 1) * src - 1) / (2 * dst) : ((2 * i + 2) * src - dst) / (2 * dst);
}

i64 stretchRow(i64 i, i64 src, i64 dst) {
    return dst >= src ? ((2 * i + 1) * src - 1) / (2 * dst)
                      : std::max<i64>(0, ceilDiv(2 * i * src + 1 - dst, 2 * dst));
}

}  // namespace

int FrameSurface::stretchDib(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                             int srcWidth, int srcHeight, const void* header, const void* bits) {
    DibFormat f;
    if (!bits || !readDibFormat(header, &f)) return 0;
    if (dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return 0;

    // Source column of every visible destination column; the columns whose
    // source falls outside the DIB are left alone.
    i64 i0 = 0, i1 = dstWidth;
    clip(dstX, frame_.width(), &i0, &i1);
    std::vector<i64> columns;
    i64 first = -1;
    for (i64 i = i0; i < i1; ++i) {
        const i64 sx = srcX + stretchColumn(i, srcWidth, dstWidth);
        if (sx < 0) continue;
        if (sx >= f.width) break;
        if (first < 0) first = i;
        columns.push_back(sx);
    }
    if (columns.empty()) return f.height;
    const i64 count = static_cast<i64>(columns.size());
    const i64 sxMin = columns.front();
    const i64 span = columns.back() - sxMin + 1;
    const bool oneToOne = span == count;
    std::vector<std::uint32_t> offsets(columns.size());
    for (std::size_t k = 0; k < columns.size(); ++k)
        offsets[k] = static_cast<std::uint32_t>(3 * (columns[k] - sxMin));
    std::vector<std::uint8_t> line;
    if (!oneToOne && f.bitCount != 24) line.resize(static_cast<std::size_t>(3 * span));

    i64 j0 = 0, j1 = dstHeight;
    clip(dstY, frame_.height(), &j0, &j1);
    const auto* b = static_cast<const std::uint8_t*>(bits);
    // GDI reads a top-down DIB from its top rows when srcY is 0 and the
    // sizes are equal.
    const bool topRowsQuirk =
        !f.bottomUp && srcY == 0 && srcWidth == dstWidth && srcHeight == dstHeight;
    i64 previousRow = -1;
    const std::uint8_t* previous = nullptr;
    for (i64 j = j0; j < j1; ++j) {
        // Row of the source rectangle from its top, then from the picture's bottom.
        const i64 r = stretchRow(j, srcHeight, dstHeight);
        i64 memoryRow;
        if (topRowsQuirk) {
            if (r >= f.height) continue;
            memoryRow = r;
        } else {
            const i64 fromBottom = static_cast<i64>(srcY) + srcHeight - 1 - r;
            if (fromBottom < 0 || fromBottom >= f.height) continue;
            memoryRow = f.bottomUp ? fromBottom : f.height - 1 - fromBottom;
        }
        std::uint8_t* out = frame_.row(static_cast<int>(dstY + j)) + 3 * (dstX + first);
        if (memoryRow == previousRow) {
            std::memcpy(out, previous, static_cast<std::size_t>(3 * count));
            continue;
        }
        const std::uint8_t* row = b + static_cast<std::size_t>(memoryRow) * f.stride;
        if (oneToOne) {
            convertSpan(f, row, sxMin, count, out);
        } else {
            const std::uint8_t* in = row + 3 * sxMin;
            if (f.bitCount != 24) {
                convertSpan(f, row, sxMin, span, line.data());
                in = line.data();
            }
            std::uint8_t* o = out;
            for (std::uint32_t off : offsets) {
                o[0] = in[off];
                o[1] = in[off + 1];
                o[2] = in[off + 2];
                o += 3;
            }
        }
        previousRow = memoryRow;
        previous = out;
    }
    return f.height;
}

void FrameSurface::fillRect(const Rect& rect, Color color) {
    const int left = std::max(rect.left, 0), right = std::min(rect.right, frame_.width());
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, frame_.height());
    if (left >= right || top >= bottom) return;
    const std::uint8_t bgr[3] = {blueOf(color), greenOf(color), redOf(color)};
    std::uint8_t* first = frame_.row(top) + 3 * left;
    for (int x = 0; x < right - left; ++x) std::memcpy(first + 3 * x, bgr, 3);
    const auto bytes = static_cast<std::size_t>(3 * (right - left));
    for (int y = top + 1; y < bottom; ++y) std::memcpy(frame_.row(y) + 3 * left, first, bytes);
}

void FrameSurface::drawText(const Font& font, int x, int y, const char* text, Color color,
                            const Color* background) {
    const auto* glyphs = dynamic_cast<const GlyphFont*>(&font);
    if (!glyphs || !text) return;
    // An opaque background fills the whole cell: advance width by line height.
    if (background)
        fillRect({x, y, x + glyphs->textWidth(text), y + glyphs->lineHeight()}, *background);
    int pen = x;
    for (const char* p = text; *p; ++p) {
        const GlyphFont::Glyph& g = glyphs->glyph(static_cast<unsigned char>(*p));
        for (int j = 0; j < g.height; ++j) {
            const int row = y + g.top + j;
            if (row < 0 || row >= frame_.height()) continue;
            for (int i = 0; i < g.width; ++i) {
                const int column = pen + g.left + i;
                if (column < 0 || column >= frame_.width()) continue;
                if (g.ink[static_cast<std::size_t>(j * g.width + i)])
                    frame_.setPixel(column, row, color);
            }
        }
        pen += g.advance;
    }
}

}  // namespace plat
