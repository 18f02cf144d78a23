// draw_picture.cpp — a picture block onto a surface.
#include "image/draw_picture.h"

#include <cstring>
#include <vector>

#include "image/dib.h"

namespace {

// The block's pixel bits as a device reads them, rows padded to 4 bytes, or
// null when the block is shorter than its header makes it. Picture blocks
// hold 24-bit rows of exactly width x 3 bytes: when that is not a multiple of
// 4 they are copied into `padded` row by row. Other bit depths are standard
// DIBs with padded rows already.
const std::uint8_t* deviceBits(const std::uint8_t* block, std::size_t blockSize,
                               std::vector<std::uint8_t>& padded) {
    DibLayout d;
    if (!readDibLayout(block, blockSize, &d)) return nullptr;
    if (d.compression != 0) return nullptr;  // compressed: no row size to check
    const std::uint64_t stride = d.stride;
    const std::uint64_t rowBytes = d.bitCount == 24 ? std::uint64_t{d.width} * 3 : stride;
    if (!dibRowsFit(d, rowBytes, blockSize)) return nullptr;
    const std::uint8_t* bits = block + d.bitsOffset;
    const std::uint64_t height = d.height;
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
