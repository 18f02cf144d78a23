// camera_device.cpp — what the device adds to its link: downloads that tell a
// cancel apart, and the abort that leaves the camera ready.
#include "camera/camera_device.h"

LinkResult CameraDevice::downloadPicture(int index, ProgressSink* progress) {
    return cancelled(link_.downloadPicture(index, progress));
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
