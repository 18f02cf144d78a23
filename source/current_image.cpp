// current_image.cpp — locking the current image for a transfer, and the
// checks that keep every read inside its block.
#include "source/current_image.h"

#include <cstring>

#include "source/transfer_state.h"
#include "ui/window_transfer.h"

namespace {

std::uint8_t* lockImage(plat::MemHandle h) {
    return h ? static_cast<std::uint8_t*>(plat::memLock(h)) : nullptr;
}

}  // namespace

CurrentImageLock::CurrentImageLock() {
    data_ = lockImage(g_transfer.currentImage);
    if (!data_) {
        if (g_transfer.fetchAgain) acquireNextPicture(storeCurrentImage);
        g_transfer.fetchAgain = TRUE;
        data_ = lockImage(g_transfer.currentImage);
    }
    if (data_) {
        handle_ = g_transfer.currentImage;
        size_ = plat::memSize(handle_);
    }
}

CurrentImageLock::~CurrentImageLock() {
    unlock();
}

void CurrentImageLock::unlock() {
    if (data_) plat::memUnlock(handle_);
    data_ = nullptr;
    size_ = 0;
}

DibHeader readDibHeader(const std::uint8_t* block) {
    DibHeader h;
    std::memcpy(&h, block, sizeof h);
    return h;
}

bool pictureGeometry(const std::uint8_t* block, std::size_t size, PictureGeometry* geometry) {
    if (!block || size < sizeof(DibHeader)) return false;
    const DibHeader h = readDibHeader(block);
    if (h.biSize != DIB_INFO_HEADER_SIZE || h.biWidth <= 0 || h.biHeight <= 0) return false;
    PictureGeometry g;
    g.width = static_cast<std::uint32_t>(h.biWidth);
    g.height = static_cast<std::uint32_t>(h.biHeight);
    const std::uint64_t rowBits = std::uint64_t(h.biBitCount) * g.width;
    if (rowBits / 8 == 0 || rowBits / 8 > 0xFFFFFFFFu) return false;
    g.bytesPerRow = static_cast<std::uint32_t>(rowBits / 8);
    const std::uint64_t offset = sizeof(DibHeader) + std::uint64_t(h.biClrUsed) * 4;
    g.pixelBytes = std::uint64_t(g.bytesPerRow) * g.height;
    if (offset > size || g.pixelBytes > size - offset) return false;
    g.pixelOffset = static_cast<std::size_t>(offset);
    *geometry = g;
    return true;
}
