// native_dib.h — the current image (top row first, red, green, blue, rows
// of exactly width x 3 bytes) turned into the standard bottom-up DIB that a
// native transfer hands over.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/memory.h"

// Bytes of one DIB row of a 24-bit picture: width x 3 rounded up to 4.
[[nodiscard]] std::size_t dibRowStride(std::uint32_t width);

// In place: rows swapped top for bottom and every pixel's bytes reversed;
// the middle row of an odd height has its pixels reversed too.
void flipToBottomUpBgr(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height);

// The DIB for a native transfer, made from the unlocked full-picture block
// `image` (40-byte header, 24 bits, then width x 3 x height bytes). When the
// rows need no padding the block itself is converted in place and its header
// is left as it is; otherwise a new block holds the header with biSizeImage
// set and the rows padded to 4 bytes, and `image` is freed. On failure
// `image` is untouched and *dib stays null.
enum class NativeDibResult { Ok, NotAPicture, NoMemory };
[[nodiscard]] NativeDibResult toNativeDib(plat::MemHandle image, plat::MemHandle* dib);
