// skin_bitmap.cpp — packed DIB to 24-bit picture, checked against the
// resource's size at every step.
#include "image/skin_bitmap.h"

#include <cstdint>
#include <cstring>

#include "image/dib.h"
#include "platform/module.h"

namespace {

constexpr std::uint32_t BI_RGB_COMPRESSION = 0;
// Larger than any skin picture; keeps the size arithmetic far from overflow.
constexpr std::uint32_t MAX_SIDE = 16384;

}  // namespace

plat::Bitmap skinBitmapFromDib(const void* dib, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(dib);
    DibLayout d;
    // Information headers of later versions (108, 124 bytes) start the same.
    if (!readDibLayout(dib, size, &d) || d.headerSize < DIB_INFO_HEADER_SIZE) return {};
    const unsigned bits = d.bitCount;
    if (d.planes != 1 || d.compression != BI_RGB_COMPRESSION) return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return {};
    if (d.width > MAX_SIDE || d.height > MAX_SIDE) return {};
    if (d.totalSize > size) return {};
    const bool topDown = !d.bottomUp;
    const std::size_t colours = bits <= 8 ? d.coloursUsed : 0;
    const std::size_t tableOffset = d.headerSize;
    const std::size_t stride = static_cast<std::size_t>(d.stride);

    // The colour table spread to all 256 indexes; an index beyond a short
    // table names no colour and fails the picture (checked once a row, so
    // that the pixel loop does not branch).
    std::uint8_t colour[256][3] = {};
    std::uint8_t unnamed[256];
    for (std::size_t i = 0; i < 256; ++i) {
        unnamed[i] = i < colours ? 0 : 1;
        if (i < colours) std::memcpy(colour[i], bytes + tableOffset + 4 * i, 3);
    }
    const std::uint8_t* pixels = bytes + d.bitsOffset;
    plat::Bitmap out(static_cast<int>(d.width), static_cast<int>(d.height));
    const std::size_t w = static_cast<std::size_t>(out.width());
    const unsigned perByte = bits <= 8 ? 8 / bits : 1;
    const unsigned mask = (1u << (bits <= 8 ? bits : 8)) - 1;
    for (int y = 0; y < out.height(); ++y) {
        const int fileRow = topDown ? y : out.height() - 1 - y;
        const std::uint8_t* src = pixels + static_cast<std::size_t>(fileRow) * stride;
        std::uint8_t* dst = out.row(y);
        if (bits == 24) {
            std::memcpy(dst, src, w * 3);
            continue;
        }
        // Leftmost pixel in a byte's high bits.
        std::uint8_t bad = 0;
        for (std::size_t x = 0; x < w; ++x) {
            const unsigned shift = 8 - bits * (static_cast<unsigned>(x % perByte) + 1);
            const unsigned index = src[x / perByte] >> shift & mask;
            const std::uint8_t* c = colour[index];
            dst[3 * x] = c[0];
            dst[3 * x + 1] = c[1];
            dst[3 * x + 2] = c[2];
            bad |= unnamed[index];
        }
        if (bad) return {};
    }
    return out;
}

plat::Bitmap loadSkinBitmap(HINSTANCE module, int id) {
    const void* dib = nullptr;
    std::size_t size = 0;
    if (!plat::bitmapResource(module, id, &dib, &size)) return {};
    return skinBitmapFromDib(dib, size);
}
