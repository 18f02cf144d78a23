// decoded_picture.cpp — the decoder's block read through its header.
#include "sane/decoded_picture.h"

#include <cstdlib>
#include <utility>

#include "image/jpeg_decoder.h"

namespace {

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

}  // namespace

DecodedPicture::DecodedPicture(plat::MemHandle block) : block_(block) {
    if (!block_) return;
    const auto* p = static_cast<const uint8_t*>(plat::memLock(block_.get()));
    if (!p) return;
    const int32_t width = get32(p + 4);
    const int32_t height = std::abs(get32(p + 8));
    const std::size_t need = DIB_HEADER_SIZE + std::size_t(width) * std::size_t(height) * 3;
    if (width <= 0 || height <= 0 || plat::memSize(block_.get()) < need) {
        plat::memUnlock(block_.get());
        block_.reset();
        return;
    }
    width_ = width;
    height_ = height;
    pixels_ = p + DIB_HEADER_SIZE;
}

DecodedPicture::DecodedPicture(DecodedPicture&& other) noexcept
    : block_(std::move(other.block_)),
      pixels_(std::exchange(other.pixels_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

DecodedPicture& DecodedPicture::operator=(DecodedPicture&& other) noexcept {
    if (this != &other) {
        release();
        block_ = std::move(other.block_);
        pixels_ = std::exchange(other.pixels_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

DecodedPicture::~DecodedPicture() {
    release();
}

void DecodedPicture::release() {
    if (pixels_) plat::memUnlock(block_.get());
    pixels_ = nullptr;
    block_.reset();
    width_ = height_ = 0;
}
