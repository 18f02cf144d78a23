// current_image.cpp — locking the current image for a transfer, and the
// checks that keep every read inside its block.
#include "source/current_image.h"

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

bool pictureGeometry(const std::uint8_t* block, std::size_t size, PictureGeometry* geometry) {
    DibLayout d;
    if (!readDibLayout(block, size, &d)) return false;
    if (d.headerSize != DIB_INFO_HEADER_SIZE || !d.bottomUp) return false;
    const std::uint64_t rowBits = std::uint64_t{d.bitCount} * d.width;
    if (rowBits / 8 == 0 || rowBits / 8 > 0xFFFFFFFFu) return false;
    if (!dibRowsFit(d, rowBits / 8, size)) return false;
    PictureGeometry g;
    g.width = d.width;
    g.height = d.height;
    g.bytesPerRow = static_cast<std::uint32_t>(rowBits / 8);
    g.pixelBytes = std::uint64_t{g.bytesPerRow} * g.height;
    g.pixelOffset = static_cast<std::size_t>(d.bitsOffset);
    *geometry = g;
    return true;
}
