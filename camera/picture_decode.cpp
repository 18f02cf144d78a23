// picture_decode.cpp — the link's download buffer handed to the JPEG decoder.
#include "camera/camera_link.h"
#include "image/jpeg_decoder.h"

plat::MemHandle CameraLink::decodePicture(int mode) const {
    // Only a buffer that holds the whole of the current download is read.
    const std::size_t held = downloadBufferSize();
    const std::size_t size =
        downloadSize_ > 0 && static_cast<std::size_t>(downloadSize_) == held ? held : 0;
    return ::decodePicture(downloadBuffer_.get(), size, mode);
}
