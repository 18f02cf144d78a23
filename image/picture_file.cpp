// picture_file.cpp — picture blocks as image-file rows and BMP files.
#include "image/picture_file.h"

#include <cstring>

#include "image/dib.h"
#include "image/jpeg_decoder.h"

namespace {

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::size_t BMP_FILE_HEADER_SIZE = 14;

}  // namespace

bool pictureRows(const void* block, std::size_t size, int mode, PictureRows* rows) {
    DibLayout d;
    if (!readDibLayout(block, size, &d)) return false;
    if (d.headerSize != DIB_HEADER_SIZE || d.bitCount != 24 || d.compression != 0) return false;
    if (!d.bottomUp) return false;
    const std::uint64_t line = std::uint64_t{d.width} * 3;
    if (!dibRowsFit(d, line, size)) return false;
    const auto* pixels = static_cast<const std::uint8_t*>(block) + d.bitsOffset;
    rows->width = static_cast<int>(d.width);
    rows->height = static_cast<int>(d.height);
    if (mode == DECODE_DISPLAY) {
        rows->top = pixels + line * (d.height - 1);
        rows->stride = -static_cast<std::ptrdiff_t>(line);
        rows->bgr = true;
    } else {
        rows->top = pixels;
        rows->stride = static_cast<std::ptrdiff_t>(line);
        rows->bgr = false;
    }
    return true;
}

std::size_t bmpRowSize(const PictureRows& rows) {
    return (static_cast<std::size_t>(rows.width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

void bmpHeaders(const PictureRows& rows, std::uint8_t* f) {
    const std::size_t imageSize = bmpRowSize(rows) * static_cast<std::size_t>(rows.height);
    std::memset(f, 0, BMP_HEADERS_SIZE);
    f[0] = 'B';
    f[1] = 'M';
    put32(f + 2, static_cast<std::uint32_t>(BMP_HEADERS_SIZE + imageSize));
    put32(f + 10, static_cast<std::uint32_t>(BMP_HEADERS_SIZE));
    std::uint8_t* h = f + BMP_FILE_HEADER_SIZE;
    put32(h + 0, DIB_HEADER_SIZE);
    put32(h + 4, static_cast<std::uint32_t>(rows.width));
    put32(h + 8, static_cast<std::uint32_t>(rows.height));
    put16(h + 12, 1);
    put16(h + 14, 24);
    put32(h + 20, static_cast<std::uint32_t>(imageSize));
    put32(h + 24, static_cast<std::uint32_t>(DIB_PELS_PER_METER));
    put32(h + 28, static_cast<std::uint32_t>(DIB_PELS_PER_METER));
}

void bmpRow(const PictureRows& rows, int k, std::uint8_t* o) {
    const std::size_t line = static_cast<std::size_t>(rows.width) * 3;
    const std::uint8_t* in =
        rows.top + static_cast<std::ptrdiff_t>(rows.height - 1 - k) * rows.stride;
    copyPixelRow(in, static_cast<std::size_t>(rows.width), o, 0, !rows.bgr);
    std::memset(o + line, 0, bmpRowSize(rows) - line);
}

std::vector<std::uint8_t> encodeBmp(const PictureRows& rows) {
    if (rows.width <= 0 || rows.height <= 0 || !rows.top) return {};
    const std::size_t padded = bmpRowSize(rows);
    std::vector<std::uint8_t> out(BMP_HEADERS_SIZE +
                                  padded * static_cast<std::size_t>(rows.height));
    bmpHeaders(rows, out.data());
    for (int k = 0; k < rows.height; ++k)
        bmpRow(rows, k, out.data() + BMP_HEADERS_SIZE + static_cast<std::size_t>(k) * padded);
    return out;
}
