// png_file.h — writing a 24-bit picture as a PNG file (libpng on POSIX; the
// Windows build has no PNG writer and says so).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace plat {

// Writes width x height pixels of 3 bytes; row y (0 = top) starts at
// firstRow + y * stride (a negative stride walks a bottom-up picture). With
// bgr set the pixels are blue, green, red, else red, green, blue. On failure
// returns false and a one-line reason in *error.
[[nodiscard]] bool writePng(const std::string& path, int width, int height,
                            const std::uint8_t* firstRow, std::ptrdiff_t stride, bool bgr,
                            std::string* error);
// The same into a file opened for writing, which it closes; `name` is the
// file's name for the reason.
[[nodiscard]] bool writePng(std::FILE* file, const std::string& name, int width, int height,
                            const std::uint8_t* firstRow, std::ptrdiff_t stride, bool bgr,
                            std::string* error);

}  // namespace plat
