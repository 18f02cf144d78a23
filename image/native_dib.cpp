// native_dib.cpp — full-picture block to bottom-up, blue-green-red DIB.
#include "image/native_dib.h"

#include <cstring>

#include "image/dib.h"

namespace {

// Reverses the bytes of each pixel of one row.
void reversePixels(std::uint8_t* row, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, row += 3) {
        const std::uint8_t r = row[0];
        row[0] = row[2];
        row[2] = r;
    }
}

// Swaps two rows, reversing each pixel's bytes on the way: no row buffer,
// so any width the decoder accepts fits.
void swapReversed(std::uint8_t* top, std::uint8_t* bottom, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x, top += 3, bottom += 3) {
        const std::uint8_t t0 = top[0], t1 = top[1], t2 = top[2];
        top[0] = bottom[2];
        top[1] = bottom[1];
        top[2] = bottom[0];
        bottom[0] = t2;
        bottom[1] = t1;
        bottom[2] = t0;
    }
}

// A bottom-up 24-bit picture with its rows of width x 3 bytes right after
// the 40-byte header.
bool isFullPicture(const std::uint8_t* block, std::size_t size, DibLayout* d) {
    if (!readDibLayout(block, size, d)) return false;
    return d->headerSize == DIB_INFO_HEADER_SIZE && d->bottomUp && d->bitCount == 24 &&
           d->bitsOffset == sizeof(DibHeader) && dibRowsFit(*d, std::uint64_t{d->width} * 3, size);
}

}  // namespace

std::size_t dibRowStride(std::uint32_t width) {
    return (std::size_t(width) * 3 + 3) & ~std::size_t(3);
}

void flipToBottomUpBgr(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::uint8_t* top = pixels;
    std::uint8_t* bottom = pixels + rowBytes * (height - 1);
    for (std::uint32_t i = 0; i < height / 2; ++i, top += rowBytes, bottom -= rowBytes)
        swapReversed(top, bottom, width);
    if (height % 2) reversePixels(top, width);
}

NativeDibResult toNativeDib(plat::MemHandle image, plat::MemHandle* dibOut) {
    *dibOut = nullptr;
    DibLayout g;
    {
        plat::MemLock lock(image);
        auto* block = lock.as<std::uint8_t>();
        if (!block || !isFullPicture(block, plat::memSize(image), &g))
            return NativeDibResult::NotAPicture;
        if (dibRowStride(g.width) == std::size_t{g.width} * 3) {
            flipToBottomUpBgr(block + sizeof(DibHeader), g.width, g.height);
            *dibOut = image;
            return NativeDibResult::Ok;
        }
    }
    // Rows of width x 3 bytes that are not a multiple of 4: the DIB format
    // wants each row padded, so the picture moves into a larger block.
    const std::size_t stride = dibRowStride(g.width);
    const std::uint64_t imageBytes = std::uint64_t(stride) * g.height;
    if (imageBytes > 0xFFFFFFFFu || imageBytes > SIZE_MAX - sizeof(DibHeader))
        return NativeDibResult::NoMemory;
    plat::MemBlock dib(plat::memAlloc(sizeof(DibHeader) + std::size_t(imageBytes), true));
    if (!dib) return NativeDibResult::NoMemory;
    {
        plat::MemLock from(image);
        plat::MemLock to(dib.get());
        if (!from || !to) return NativeDibResult::NoMemory;
        const auto* src = from.as<std::uint8_t>();
        auto* dst = to.as<std::uint8_t>();
        DibHeader h = copyDibHeader(src);
        h.biSizeImage = static_cast<std::uint32_t>(imageBytes);
        std::memcpy(dst, &h, sizeof h);
        const std::uint8_t* srcRow = src + sizeof(DibHeader);
        std::uint8_t* dstRow = dst + sizeof(DibHeader) + stride * (g.height - 1);
        for (std::uint32_t y = 0; y < g.height;
             ++y, srcRow += std::size_t{g.width} * 3, dstRow -= stride) {
            const std::uint8_t* s = srcRow;
            std::uint8_t* d = dstRow;
            for (std::uint32_t x = 0; x < g.width; ++x, s += 3, d += 3) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
            }
        }
    }
    plat::memFree(image);
    *dibOut = dib.release();
    return NativeDibResult::Ok;
}
