// bmp_file.h — a canvas written as a palette Windows BMP file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin-gen/canvas.h"

namespace skin {

// The file's bytes: file header, 40-byte information header, a full colour
// table of 1 << bitsPerPixel entries (the canvas's colours in ascending
// order, then black), bottom-up rows padded to 4 bytes. Throws
// std::runtime_error when the canvas has more colours than the depth holds.
std::vector<std::uint8_t> encodeBmp(const Canvas& canvas, int bitsPerPixel);

// Writes the bytes to `path`; throws std::runtime_error on failure.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace skin
