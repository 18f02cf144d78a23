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

}  // namespace

DibHeader copyDibHeader(const void* block) {
    DibHeader h;
    std::memcpy(&h, block, sizeof h);
    return h;
}

TW_UINT16 DibNumColors(const void* header) {
    TraceLog(TRACE_DIB_NUM_COLORS);
    const std::uint32_t colours = isInfoHeader(header)
                                      ? dibTableEntries(read16(header, 14), read32(header, 32))
                                      : dibTableEntries(read16(header, 10), 0);
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
        if (h.biSizeImage == 0)
            h.biSizeImage = static_cast<std::uint32_t>(
                dibStride(h.biBitCount, magnitude(h.biWidth)) * magnitude(h.biHeight));
        if (h.biClrUsed == 0) h.biClrUsed = DibNumColors(&h);
    }
    *header = h;
    return TRUE;
}
