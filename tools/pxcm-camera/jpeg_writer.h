// jpeg_writer.h — RGB pictures encoded as baseline JPEG files in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pxcmcam {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // rows top first, red green blue
};

// Nothing when the image is empty or the encoder fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodeJpeg(const RgbImage& image,
                                                                  int quality);

}  // namespace pxcmcam
