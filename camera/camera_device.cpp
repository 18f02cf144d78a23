// camera_device.cpp — what the device adds to its link: pictures that must
// decode cleanly, downloads that tell a cancel apart, and the abort that
// leaves the camera ready.
#include "camera/camera_device.h"

#include <algorithm>
#include <vector>

#include "image/jpeg_check.h"

LinkResult CameraDevice::downloadPicture(int index, ProgressSink* progress) {
    // The protocol has no checksum: a JPEG that the decoder finds fault with
    // may have been damaged on the line, and a fresh download may come whole.
    // Two downloads alike to the byte are the file as the camera holds it
    // (a line never damages twice the same way): that file is the picture,
    // and the decoder tells what it finds in it.
    std::vector<std::vector<uint8_t>> damaged;
    for (int attempt = 1;; ++attempt) {
        const LinkResult r = cancelled(link_.downloadPicture(index, progress));
        if (r != LINK_OK) return r;
        const uint8_t* data = link_.downloadData();
        const std::size_t size = link_.downloadBufferSize();
        if (jpegDecodesCleanly(data, size)) return LINK_OK;
        std::vector<uint8_t> bytes(data, data + size);
        if (std::find(damaged.begin(), damaged.end(), bytes) != damaged.end()) return LINK_OK;
        if (attempt == PICTURE_DOWNLOAD_TRIES) return LINK_DAMAGED;
        damaged.push_back(std::move(bytes));
    }
}

LinkResult CameraDevice::downloadThumbnail(int index, ProgressSink* progress,
                                           bool tellBlockFailure) {
    return cancelled(link_.downloadThumbnail(index, progress, tellBlockFailure));
}

bool CameraDevice::abortTransfer() {
    link_.clearCancel();
    if (!link_.port()) return false;
    // Wherever the cancel cut in, the camera may still be in the transfer,
    // waiting for block numbers. The handshake then purges before each try,
    // so late block bytes do not pass for its answer.
    if (link_.firmwareVersion() >= ADDRESSED_FIRMWARE) link_.endTransfer();
    return link_.handshake();
}
