// draw_picture.cpp — a picture block onto a surface.
#include "image/draw_picture.h"

#include <cstring>
#include <vector>

#include "image/dib.h"

namespace {

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

// The block's pixel bits as a device reads them, rows padded to 4 bytes, or
// null when the block is shorter than its header makes it. Picture blocks
// hold 24-bit rows of exactly width x 3 bytes: when that is not a multiple of
// 4 they are copied into `padded` row by row. Other bit depths are standard
// DIBs with padded rows already.
const std::uint8_t* deviceBits(const std::uint8_t* block, std::size_t blockSize,
                               std::vector<std::uint8_t>& padded) {
    if (blockSize < 4) return nullptr;
    const std::uint32_t headerSize = read32(block);
    std::uint64_t width, height;
    unsigned bitCount;
    if (headerSize == DIB_INFO_HEADER_SIZE) {
        if (blockSize < DIB_INFO_HEADER_SIZE) return nullptr;
        if (read32(block + 16) != 0) return nullptr;  // compressed: no row size to check
        const auto w = static_cast<std::int32_t>(read32(block + 4));
        const auto h = static_cast<std::int32_t>(read32(block + 8));
        width = w > 0 ? static_cast<std::uint64_t>(w) : 0;
        height = h < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(h))
                       : static_cast<std::uint64_t>(h);
        bitCount = read16(block + 14);
    } else {
        if (blockSize < DIB_CORE_HEADER_SIZE) return nullptr;
        width = read16(block + 4);
        height = read16(block + 6);
        bitCount = read16(block + 10);
    }
    if (width == 0 || height == 0 || bitCount == 0 || bitCount > 32) return nullptr;

    const std::uint8_t* bits = dibBits(block);
    const std::uint64_t offset = static_cast<std::uint64_t>(bits - block);
    const std::uint64_t stride = (bitCount * width + 31) / 32 * 4;
    const std::uint64_t rowBytes = bitCount == 24 ? width * 3 : stride;
    if (offset > blockSize || rowBytes * height > blockSize - offset) return nullptr;
    if (rowBytes == stride) return bits;

    padded.assign(static_cast<std::size_t>(stride * height), 0);
    for (std::uint64_t r = 0; r < height; ++r)
        std::memcpy(padded.data() + r * stride, bits + r * rowBytes,
                    static_cast<std::size_t>(rowBytes));
    return padded.data();
}

}  // namespace

int drawPicture(plat::Surface& surface, const plat::Rect& dest, plat::MemHandle picture,
                const plat::Rect& source, plat::Palette palette) {
    if (!picture) return 0;
    plat::MemLock lock(picture);
    if (!lock) return 0;
    const void* header = lock.get();
    std::vector<std::uint8_t> padded;
    const std::uint8_t* bits =
        deviceBits(lock.as<const std::uint8_t>(), plat::memSize(picture), padded);
    if (!bits) return 0;

    plat::Palette replaced = nullptr;
    if (palette) replaced = surface.selectBackgroundPalette(palette);

    int result;
    if (dest.width() == source.width() && dest.height() == source.height()) {
        // The device counts source rows from the bottom of the picture.
        const int height = dibHeight(header);
        result = surface.drawDib(dest.left, dest.top, dest.width(), dest.height(), source.left,
                                 height - source.top - source.height(), 0,
                                 static_cast<unsigned>(height) & 0xFFFFu, header, bits);
    } else {
        result = surface.stretchDib(dest.left, dest.top, dest.width(), dest.height(), source.left,
                                    source.top, source.width(), source.height(), header, bits);
    }

    if (palette) (void)surface.selectBackgroundPalette(replaced);
    return result;
}
