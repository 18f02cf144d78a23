// dib_layout.h — the one reader of a packed DIB's header, for every layer
// that draws or hands over DIBs (the window system below the image code too).
#pragma once

#include <cstddef>
#include <cstdint>

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
    std::uint64_t stride = 0;       // one row padded to 4 bytes (dibStride)
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
// Bytes of one row of `width` pixels of `bitCount` bits: DIB rows are padded
// to whole 32-bit words.
[[nodiscard]] constexpr std::uint64_t dibStride(std::uint32_t bitCount, std::uint32_t width) {
    return (std::uint64_t{bitCount} * width + 31) / 32 * 4;
}
// Colour-table entries: a non-zero colours-used field, else the full table
// of a 1-, 4- or 8-bit picture, else none.
[[nodiscard]] constexpr std::uint32_t dibTableEntries(std::uint32_t bits, std::uint32_t used) {
    if (used != 0) return used;
    return bits == 1 || bits == 4 || bits == 8 ? std::uint32_t{1} << bits : 0;
}
