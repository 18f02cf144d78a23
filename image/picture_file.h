// picture_file.h — a decoded picture block as the rows of an image file:
// the top-down view that PNG writers take, and a standard BMP file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The rows of a picture block of decodePicture, top line first.
struct PictureRows {
    int width = 0;
    int height = 0;
    const std::uint8_t* top = nullptr;  // first pixel of the top line
    std::ptrdiff_t stride = 0;          // from one line to the next one down
    bool bgr = false;                   // blue, green, red (display layout)
};

// Reads the block's header for the given mode (DECODE_DISPLAY or
// DECODE_FULL_PICTURE). False when the block is not a 24-bit picture of
// that layout or is shorter than its pixels.
[[nodiscard]] bool pictureRows(const void* block, std::size_t size, int mode, PictureRows* rows);

// A standard BMP file of the picture: file header, 40-byte information
// header, bottom-up rows of blue, green, red padded to 4 bytes.
constexpr std::size_t BMP_HEADERS_SIZE = 54;
std::size_t bmpRowSize(const PictureRows& rows);
// The two headers, BMP_HEADERS_SIZE bytes.
void bmpHeaders(const PictureRows& rows, std::uint8_t* out);
// File row k (0 = the first one in the file, the picture's bottom line),
// bmpRowSize bytes with its padding.
void bmpRow(const PictureRows& rows, int k, std::uint8_t* out);
// The whole file in memory; empty for no picture.
[[nodiscard]] std::vector<std::uint8_t> encodeBmp(const PictureRows& rows);
