// test_jpeg.h — JPEG files made in the test with libjpeg's compressor, and
// libjpeg's own decoding of them to compare against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Pixels top-down, `components` bytes each (1 grey, 2 of no colour space,
// 3 RGB, 4 CMYK).
struct RawImage {
    int width = 0;
    int height = 0;
    int components = 3;
    std::vector<std::uint8_t> pixels;
    const std::uint8_t* at(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * components;
    }
};

// A picture with smooth gradients, edges and some noise, like a photograph
// as far as the codec is concerned; the same seed gives the same picture.
RawImage patternImage(int width, int height, int components, unsigned seed = 1);

struct JpegOptions {
    int quality = 85;
    bool progressive = false;
    bool cmyk = false;       // a 4-component picture stored as CMYK
    bool ycck = false;       // a 4-component picture stored as YCCK
    int jfifMajor = 1;       // JFIF version written in the APP0 marker
    bool optimize = false;   // optimised Huffman tables (smallest files)
    int restartRows = 0;     // a restart marker every that many MCU rows
    bool chroma422 = false;  // chroma halved across only (4:2:2), as many cameras store it
};

std::vector<std::uint8_t> encodeJpeg(const RawImage& image, const JpegOptions& options = {});

// libjpeg's decoding with default parameters and RGB output (grey samples
// expanded to RGB), top-down.
RawImage referenceDecode(const std::vector<std::uint8_t>& jpeg);

// The names in a folder (for "nothing left behind" checks).
std::vector<std::string> listFolder(const std::string& path);

}  // namespace testsupport
