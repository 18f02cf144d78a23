// dib.h — finding one's way around a packed DIB: header, colour table, bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dib_layout.h"
#include "platform/memory.h"
#include "platform/os_types.h"
#include "platform/twain.h"

// The 40-byte Windows information header (BITMAPINFOHEADER).
struct DibHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40, "DibHeader must have the Windows layout");

// The 40-byte header copied out of a block of at least 40 bytes.
[[nodiscard]] DibHeader copyDibHeader(const void* block);

constexpr char TRACE_DIB_INFO[] = "(HDIB) : BOOL DibInfo";
constexpr char TRACE_DIB_NUM_COLORS[] = "(HDIB) : TW_UINT16 DibNumColors";
constexpr char TRACE_PALETTE_SIZE[] = "(HDIB) : TW_UINT16 PaletteSize";

// Number of colour-table entries: a non-zero colours-used field of an
// information header, else 2, 16 or 256 for 1, 4 or 8 bits, else 0.
[[nodiscard]] TW_UINT16 DibNumColors(const void* header);
// Size of the colour table in bytes (4-byte entries after an information
// header, 3-byte entries after a core header).
[[nodiscard]] TW_UINT16 PaletteSize(const void* header);
// The pixel bits: after the header and its colour table.
[[nodiscard]] std::uint8_t* dibBits(void* header);
[[nodiscard]] const std::uint8_t* dibBits(const void* header);
// Height in pixels: biHeight, or the core header's 16-bit height.
[[nodiscard]] int dibHeight(const void* header);

// Copies the 40-byte header out of the block; unless it is a core header,
// fills a zero biSizeImage from the geometry and a zero biClrUsed with
// DibNumColors. FALSE for no handle.
[[nodiscard]] BOOL DibInfo(plat::MemHandle dib, DibHeader* header);
