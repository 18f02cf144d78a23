// jpeg_decoder.h — the camera's JPEG pictures and thumbnails decoded into
// packed 24-bit DIBs (a 40-byte BITMAPINFOHEADER, then unpadded rows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/memory.h"

// Output modes of decodePicture.
constexpr int DECODE_DISPLAY = 0;       // bottom-up rows, blue, green, red
constexpr int DECODE_FULL_PICTURE = 1;  // top-down rows, red, green, blue

// Downloads shorter than this are failed thumbnails: they decode to a blank
// white picture of one thumbnail cell.
constexpr std::size_t DECODE_MIN_JPEG_SIZE = 236;
constexpr int BLANK_PICTURE_WIDTH = 80;
constexpr int BLANK_PICTURE_HEIGHT = 56;

constexpr std::size_t DIB_HEADER_SIZE = 40;
constexpr std::int32_t DIB_PELS_PER_METER = 4000;

// Largest picture accepted. The camera sends at most 640 x 480; anything far
// beyond that is a corrupt header, refused before any large allocation.
constexpr std::uint32_t DECODE_MAX_DIMENSION = 8192;

// Caption of libjpeg's message boxes.
constexpr char JPEG_ERROR_CAPTION[] = "JPEG Error";

// Where libjpeg's messages go: the data source shows them in the "JPEG
// Error" box (ui/jpeg_error_box.h), the SANE backend in its own log. With
// none (null) they go to standard error, as libjpeg's own do.
using JpegMessageSink = void (*)(const char* text);
void setJpegMessageSink(JpegMessageSink sink);

// Decodes the JPEG file in data[0, size) into a new movable block owned by
// the caller. Returns no handle when the data cannot be decoded (the reason
// has gone to the message sink), when the picture is too large, or
// when the block cannot be allocated.
[[nodiscard]] plat::MemHandle decodePicture(const std::uint8_t* data, std::size_t size, int mode);

// Copies pixelCount 3-byte pixels from sourceRow to pixelArea at
// rowIndex * pixelCount * 3; with swap set each pixel's bytes are reversed
// (R, G, B becomes B, G, R).
void copyPixelRow(const std::uint8_t* sourceRow, std::size_t pixelCount, std::uint8_t* pixelArea,
                  std::size_t rowIndex, bool swap);
