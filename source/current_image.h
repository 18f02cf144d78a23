// current_image.h — the current image as the transfers take it: locked,
// fetched from the camera first when there is none, its geometry checked
// against the block before any byte of it is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"
#include "platform/memory.h"

// The current image locked for one transfer. When there is none (no handle,
// or it cannot be locked) and the fetch-again flag is set, the acquisition
// step runs first; either way the flag is set again.
class CurrentImageLock {
public:
    CurrentImageLock();
    ~CurrentImageLock();
    CurrentImageLock(const CurrentImageLock&) = delete;
    CurrentImageLock& operator=(const CurrentImageLock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    std::uint8_t* data() const { return data_; }
    // Bytes of the block (plat::memSize); 0 when nothing is locked.
    std::size_t size() const { return size_; }
    // Unlocks (the handle stays the current image).
    void unlock();

private:
    plat::MemHandle handle_ = nullptr;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Where the pixels of a picture block are and how they are laid out.
struct PictureGeometry {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bytesPerRow = 0;  // biBitCount * biWidth / 8
    std::size_t pixelOffset = 0;    // header and colour table
    std::uint64_t pixelBytes = 0;   // bytesPerRow * height
};

// The geometry of a block that starts with a 40-byte information header;
// false when the header is not one, the picture is empty, or its rows
// reach past `size` bytes.
[[nodiscard]] bool pictureGeometry(const std::uint8_t* block, std::size_t size,
                                   PictureGeometry* geometry);
