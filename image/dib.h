// dib.h — finding one's way around a packed DIB: header, colour table, bits.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Size field of the 12-byte core header (BITMAPCOREHEADER); a block whose
// first field is not 40 is read as one.
constexpr std::uint32_t DIB_CORE_HEADER_SIZE = 12;
constexpr std::uint32_t DIB_INFO_HEADER_SIZE = 40;

// A DIB header as its readers need it, parsed once with every offset checked
// against the block.
struct DibLayout {
    std::uint32_t headerSize = 0;  // 12 (core header) or at least 40
    std::uint32_t width = 0;
    std::uint32_t height = 0;  // rows, whichever way they run
    bool bottomUp = true;      // false for a negative biHeight
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;  // colour-table entries
    std::uint64_t stride = 0;       // one row padded to 4 bytes
    std::uint64_t bitsOffset = 0;   // header and colour table
    std::uint64_t totalSize = 0;    // bitsOffset + stride x height
};

// The layout of the DIB at `block` of `size` bytes; false when the block is
// shorter than its header or colour table, the header size is neither 12 nor
// at least 40, the width is not positive, the height is 0, the bit count is 0
// or above 32, or more colours are used than the bit count can index. The
// rows themselves are not checked: picture blocks hold unpadded rows, so the
// reader that knows its row size asks dibRowsFit.
[[nodiscard]] bool readDibLayout(const void* block, std::size_t size, DibLayout* layout);
// Whether `height` rows of `rowBytes` each fit after the bits offset.
[[nodiscard]] bool dibRowsFit(const DibLayout& layout, std::uint64_t rowBytes, std::size_t size);
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
