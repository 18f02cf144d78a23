// dib_layout.cpp — a packed DIB's header, parsed once with every offset
// checked against the block.
#include "platform/dib_layout.h"

#include <cstring>

namespace {

std::uint32_t read32(const void* block, std::size_t offset) {
    std::uint32_t v;
    std::memcpy(&v, static_cast<const std::uint8_t*>(block) + offset, sizeof v);
    return v;
}

std::uint16_t read16(const void* block, std::size_t offset) {
    std::uint16_t v;
    std::memcpy(&v, static_cast<const std::uint8_t*>(block) + offset, sizeof v);
    return v;
}

}  // namespace

bool readDibLayout(const void* block, std::size_t size, DibLayout* layout) {
    if (!block || size < 4) return false;
    DibLayout d;
    d.headerSize = read32(block, 0);
    std::int64_t height;
    std::int64_t width;
    if (d.headerSize == DIB_CORE_HEADER_SIZE) {
        if (size < DIB_CORE_HEADER_SIZE) return false;
        width = read16(block, 4);
        height = read16(block, 6);
        d.planes = read16(block, 8);
        d.bitCount = read16(block, 10);
    } else {
        if (d.headerSize < DIB_INFO_HEADER_SIZE || d.headerSize > size) return false;
        width = static_cast<std::int32_t>(read32(block, 4));
        height = static_cast<std::int32_t>(read32(block, 8));
        d.planes = read16(block, 12);
        d.bitCount = read16(block, 14);
        d.compression = read32(block, 16);
        d.coloursUsed = read32(block, 32);
    }
    if (width <= 0 || height == 0 || d.bitCount == 0 || d.bitCount > 32) return false;
    d.width = static_cast<std::uint32_t>(width);
    d.bottomUp = height > 0;
    d.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    d.coloursUsed = dibTableEntries(d.bitCount, d.coloursUsed);
    if (d.bitCount <= 8 && d.coloursUsed > (std::uint32_t{1} << d.bitCount)) return false;
    const unsigned entry = d.headerSize == DIB_CORE_HEADER_SIZE ? 3 : 4;
    d.bitsOffset = std::uint64_t{d.headerSize} + std::uint64_t{d.coloursUsed} * entry;
    if (d.bitsOffset > size) return false;
    d.stride = dibStride(d.bitCount, d.width);
    d.totalSize = d.bitsOffset + d.stride * d.height;
    *layout = d;
    return true;
}

bool dibRowsFit(const DibLayout& layout, std::uint64_t rowBytes, std::size_t size) {
    if (layout.bitsOffset > size) return false;
    // Divided, not multiplied: 32-bit rows of the widest picture overflow.
    const std::uint64_t room = size - layout.bitsOffset;
    return rowBytes == 0 || layout.height <= room / rowBytes;
}
