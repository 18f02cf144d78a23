// jpeg_check.h — whether a JPEG file arrived whole: decoded to its end without
// a single warning or error from libjpeg, and without showing anything.
#pragma once

#include <cstddef>
#include <cstdint>

// True when data[0, size) decodes cleanly: every row read, the end-of-image
// marker reached, and libjpeg silent throughout (no corrupt data, no bad
// entropy code, no truncation, no extraneous bytes). A file sent without a
// checksum can be judged by nothing else.
[[nodiscard]] bool jpegDecodesCleanly(const std::uint8_t* data, std::size_t size);
