// skin_bitmap.cpp — packed DIB to 24-bit picture, checked against the
// resource's size at every step.
#include "image/skin_bitmap.h"

#include <cstdint>
#include <cstring>

#include "platform/module.h"

namespace {

constexpr std::uint32_t INFO_HEADER = 40;
constexpr std::uint32_t BI_RGB_COMPRESSION = 0;
// Larger than any skin picture; keeps the size arithmetic far from overflow.
constexpr std::int64_t MAX_SIDE = 16384;

std::uint32_t read32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint16_t read16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

plat::Bitmap skinBitmapFromDib(const void* dib, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(dib);
    if (!bytes || size < INFO_HEADER) return {};
    // Information headers of later versions (108, 124 bytes) start the same.
    const std::uint32_t headerSize = read32(bytes);
    if (headerSize < INFO_HEADER || headerSize > size) return {};
    const std::int64_t width = static_cast<std::int32_t>(read32(bytes + 4));
    const std::int64_t signedHeight = static_cast<std::int32_t>(read32(bytes + 8));
    const unsigned planes = read16(bytes + 12);
    const unsigned bits = read16(bytes + 14);
    const std::uint32_t compression = read32(bytes + 16);
    const std::uint32_t used = read32(bytes + 32);
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    if (planes != 1 || compression != BI_RGB_COMPRESSION) return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return {};
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return {};

    std::size_t colours = 0;
    if (bits <= 8) {
        const std::size_t most = std::size_t{1} << bits;
        colours = used == 0 ? most : used;
        if (colours > most) return {};
    }
    const std::size_t tableOffset = headerSize;
    const std::size_t bitsOffset = tableOffset + 4 * colours;
    const std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    if (bitsOffset > size || stride * static_cast<std::size_t>(height) > size - bitsOffset)
        return {};

    // The colour table spread to all 256 indexes; an index beyond a short
    // table names no colour and fails the picture (checked once a row, so
    // that the pixel loop does not branch).
    std::uint8_t colour[256][3] = {};
    std::uint8_t unnamed[256];
    for (std::size_t i = 0; i < 256; ++i) {
        unnamed[i] = i < colours ? 0 : 1;
        if (i < colours) std::memcpy(colour[i], bytes + tableOffset + 4 * i, 3);
    }
    const std::uint8_t* pixels = bytes + bitsOffset;
    plat::Bitmap out(static_cast<int>(width), static_cast<int>(height));
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
