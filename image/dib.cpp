// dib.cpp — packed DIB geometry.
#include "image/dib.h"

#include <cstring>

#include "platform/trace.h"

namespace {

std::uint32_t read32(const void* header, std::size_t offset) {
    std::uint32_t v;
    std::memcpy(&v, static_cast<const std::uint8_t*>(header) + offset, sizeof v);
    return v;
}

std::uint16_t read16(const void* header, std::size_t offset) {
    std::uint16_t v;
    std::memcpy(&v, static_cast<const std::uint8_t*>(header) + offset, sizeof v);
    return v;
}

bool isInfoHeader(const void* header) {
    return read32(header, 0) == DIB_INFO_HEADER_SIZE;
}

std::uint32_t magnitude(std::int32_t v) {
    return v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
}

// Colour-table entries: a non-zero colours-used field, else the full table
// of a 1-, 4- or 8-bit picture, else none.
std::uint32_t tableEntries(std::uint16_t bits, std::uint32_t used) {
    if (used != 0) return used;
    return bits == 1 || bits == 4 || bits == 8 ? std::uint32_t{1} << bits : 0;
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
    d.coloursUsed = tableEntries(d.bitCount, d.coloursUsed);
    if (d.bitCount <= 8 && d.coloursUsed > (std::uint32_t{1} << d.bitCount)) return false;
    const unsigned entry = d.headerSize == DIB_CORE_HEADER_SIZE ? 3 : 4;
    d.bitsOffset = std::uint64_t{d.headerSize} + std::uint64_t{d.coloursUsed} * entry;
    if (d.bitsOffset > size) return false;
    d.stride = (std::uint64_t{d.bitCount} * d.width + 31) / 32 * 4;
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

DibHeader copyDibHeader(const void* block) {
    DibHeader h;
    std::memcpy(&h, block, sizeof h);
    return h;
}

TW_UINT16 DibNumColors(const void* header) {
    TraceLog(TRACE_DIB_NUM_COLORS);
    const std::uint32_t colours = isInfoHeader(header)
                                      ? tableEntries(read16(header, 14), read32(header, 32))
                                      : tableEntries(read16(header, 10), 0);
    return static_cast<TW_UINT16>(colours & 0xFFFF);
}

TW_UINT16 PaletteSize(const void* header) {
    TraceLog(TRACE_PALETTE_SIZE);
    const unsigned entry = isInfoHeader(header) ? 4 : 3;
    return static_cast<TW_UINT16>(DibNumColors(header) * entry);
}

const std::uint8_t* dibBits(const void* header) {
    return static_cast<const std::uint8_t*>(header) + read32(header, 0) + PaletteSize(header);
}

std::uint8_t* dibBits(void* header) {
    return const_cast<std::uint8_t*>(dibBits(static_cast<const void*>(header)));
}

int dibHeight(const void* header) {
    if (isInfoHeader(header)) return static_cast<std::int32_t>(read32(header, 8));
    return read16(header, 6);
}

BOOL DibInfo(plat::MemHandle dib, DibHeader* header) {
    TraceLog(TRACE_DIB_INFO);
    if (!dib) return FALSE;
    plat::MemLock lock(dib);
    if (!lock) return FALSE;
    DibHeader h{};
    const std::size_t available = plat::memSize(dib);
    std::memcpy(&h, lock.get(), available < sizeof h ? available : sizeof h);
    if (h.biSize != DIB_CORE_HEADER_SIZE) {
        if (h.biSizeImage == 0) {
            const std::uint64_t row =
                (std::uint64_t{h.biBitCount} * magnitude(h.biWidth) + 31) / 32 * 4;
            h.biSizeImage = static_cast<std::uint32_t>(row * magnitude(h.biHeight));
        }
        if (h.biClrUsed == 0) h.biClrUsed = DibNumColors(&h);
    }
    *header = h;
    return TRUE;
}
