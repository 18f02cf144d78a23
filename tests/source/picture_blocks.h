// picture_blocks.h — current images made in the test: the decoder's
// full-picture layout (40-byte header, unpadded RGB rows, top row first)
// with a pixel pattern that differs in every byte position.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/dib.h"
#include "platform/memory.h"

namespace testsupport {

// Byte c (0 red, 1 green, 2 blue) of pixel (x, y) of the pattern.
inline std::uint8_t patternByte(int x, int y, int c) {
    return static_cast<std::uint8_t>(x * 7 + y * 31 + c * 85 + (x * y) % 13);
}

// The pixel rows of the pattern in the full-picture layout.
inline std::vector<std::uint8_t> patternRows(int width, int height) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rows[(static_cast<std::size_t>(y) * width + x) * 3 + c] = patternByte(x, y, c);
    return rows;
}

inline DibHeader fullPictureHeader(int width, int height) {
    DibHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biXPelsPerMeter = 4000;
    h.biYPelsPerMeter = 4000;
    return h;
}

// A new block as the decoder's full-picture mode makes it; `extra` bytes
// beyond the pixels, `header` as given.
inline plat::MemHandle pictureBlock(const DibHeader& header, const std::vector<std::uint8_t>& rows,
                                    std::size_t extra = 0) {
    plat::MemHandle h = plat::memAlloc(sizeof header + rows.size() + extra, true);
    plat::MemLock lock(h);
    std::memcpy(lock.get(), &header, sizeof header);
    if (!rows.empty())
        std::memcpy(lock.as<std::uint8_t>() + sizeof header, rows.data(), rows.size());
    return h;
}

inline plat::MemHandle fullPicture(int width, int height) {
    return pictureBlock(fullPictureHeader(width, height), patternRows(width, height));
}

}  // namespace testsupport
