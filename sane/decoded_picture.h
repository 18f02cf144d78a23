// decoded_picture.h — one picture decoded for reading: RGB rows, top row
// first, exactly width × 3 bytes each, held in the decoder's block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/memory.h"

class DecodedPicture {
public:
    DecodedPicture() = default;
    // Takes over a block of the decoder's full-picture layout; an empty or
    // malformed block leaves the picture empty.
    explicit DecodedPicture(plat::MemHandle block);
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;
    DecodedPicture(DecodedPicture&& other) noexcept;
    DecodedPicture& operator=(DecodedPicture&& other) noexcept;
    ~DecodedPicture();

    explicit operator bool() const { return pixels_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t byteCount() const { return std::size_t(width_) * height_ * 3; }
    const uint8_t* pixels() const { return pixels_; }

private:
    void release();

    plat::MemBlock block_;
    const uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
