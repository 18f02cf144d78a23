// camera_handle.cpp — pictures through the camera device for SANE: geometry
// before the start, the download and decode at the start, rows on reading,
// "All pictures" one per start, deletion only when asked and only after a
// picture has been read whole.
#include "sane/camera_handle.h"

#include <algorithm>
#include <cstring>

#include "image/jpeg_decoder.h"
#include "sane/debug.h"

using sanepxcm::dbg;
using sanepxcm::DBG_CALL;
using sanepxcm::DBG_ERROR;
using sanepxcm::DBG_INFO;

namespace {

SANE_Status statusFor(LinkResult r) {
    switch (r) {
        case LINK_OK:
            return SANE_STATUS_GOOD;
        case LINK_NO_MEMORY:
            return SANE_STATUS_NO_MEM;
        default:
            return SANE_STATUS_IO_ERROR;
    }
}

}  // namespace

CameraHandle::CameraHandle(std::string device) : device_(std::move(device)) {}

CameraHandle::~CameraHandle() = default;

SANE_Status CameraHandle::open(const std::string& device, uint8_t speedCode,
                               std::unique_ptr<CameraHandle>& out) {
    std::unique_ptr<CameraHandle> h(new CameraHandle(device));
    CameraDevice& camera = h->camera_;
    camera.setLineOptions({speedCode, 1});
    LinkResult r = camera.openDevice(device);
    if (r != LINK_OK) {
        dbg(DBG_ERROR, "open: no camera answers on %s (%s)", device.c_str(), linkResultName(r));
        return statusFor(r);
    }
    r = camera.readFirmwareVersion();
    if (r != LINK_OK) {
        dbg(DBG_ERROR, "open: %s: no firmware version (%s)", device.c_str(), linkResultName(r));
        return SANE_STATUS_IO_ERROR;
    }
    h->options_.setPictureCount(camera.status().pictureCount);
    dbg(DBG_INFO, "open: camera on %s, firmware %.1f, %d pictures", device.c_str(),
        camera.firmwareVersion(), camera.status().pictureCount);
    out = std::move(h);
    return SANE_STATUS_GOOD;
}

void CameraHandle::finishCancel() {
    if (!camera_.cancelRequested()) return;
    dbg(DBG_CALL, "cancel finished");
    if (state_ == State::Reading) cursor_ = 0;
    state_ = State::Idle;
    dropPrepared();
    camera_.clearCancel();
}

void CameraHandle::dropPrepared() {
    prepared_ = DecodedPicture();
    preparedIndex_ = -1;
    offset_ = 0;
}

SANE_Status CameraHandle::controlOption(SANE_Int option, SANE_Action action, void* value,
                                        SANE_Int* info) {
    finishCancel();
    if (action != SANE_ACTION_GET_VALUE && state_ == State::Reading) return SANE_STATUS_DEVICE_BUSY;
    const SANE_Status s = options_.control(option, action, value, info);
    if (s == SANE_STATUS_GOOD && action != SANE_ACTION_GET_VALUE) {
        // Another choice of pictures: "All pictures" begins afresh.
        cursor_ = 0;
        state_ = State::Idle;
    }
    return s;
}

int CameraHandle::targetIndex() const {
    const int count = camera_.status().pictureCount;
    const int index = options_.allPictures() ? cursor_ : options_.picture() - 1;
    return index >= 0 && index < count ? index : -1;
}

SANE_Status CameraHandle::geometryOf(int index, bool preview, Geometry& out) {
    if (preparedIndex_ == index && preparedPreview_ == preview && prepared_) {
        out = {prepared_.width(), prepared_.height()};
        return SANE_STATUS_GOOD;
    }
    // The information names a picture's size; a thumbnail's only its decoding.
    if (!preview) {
        if (infoIndex_ != index) {
            const LinkResult r = camera_.readPictureInfo(index);
            if (r != LINK_OK) return statusFor(r);
            infoIndex_ = index;
            infoGeometry_ = {static_cast<int>(camera_.pictureInfo().width),
                             static_cast<int>(camera_.pictureInfo().height)};
        }
        if (infoGeometry_.width > 0 && infoGeometry_.height > 0) {
            out = infoGeometry_;
            return SANE_STATUS_GOOD;
        }
    }
    const SANE_Status s = fetch(index, preview);
    if (s != SANE_STATUS_GOOD) return s;
    out = {prepared_.width(), prepared_.height()};
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::getParameters(SANE_Parameters* params) {
    if (!params) return SANE_STATUS_INVAL;
    finishCancel();
    Geometry g;
    if (state_ == State::Reading) {
        g = {prepared_.width(), prepared_.height()};
    } else {
        const int index = targetIndex();
        if (index >= 0) {
            const SANE_Status s = geometryOf(index, options_.preview(), g);
            if (s != SANE_STATUS_GOOD) return s;
        }
    }
    params->format = SANE_FRAME_RGB;
    params->last_frame = SANE_TRUE;
    params->depth = 8;
    params->pixels_per_line = g.width;
    params->lines = g.height;
    params->bytes_per_line = g.width * 3;
    dbg(DBG_CALL, "get_parameters: %d x %d", g.width, g.height);
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::fetch(int index, bool preview) {
    dropPrepared();
    dbg(DBG_INFO, "downloading %s %d", preview ? "thumbnail" : "picture", index + 1);
    const LinkResult r = preview ? camera_.downloadThumbnail(index, nullptr)
                                 : camera_.downloadPicture(index, nullptr);
    if (r == LINK_CANCELLED) {
        dropPrepared();
        if (!camera_.abortTransfer()) dbg(DBG_ERROR, "after the cancel the camera does not answer");
        state_ = State::Idle;
        return SANE_STATUS_CANCELLED;
    }
    if (r != LINK_OK) {
        dbg(DBG_ERROR, "download of %d failed: %s", index + 1, linkResultName(r));
        return statusFor(r);
    }
    // Below the decoder's minimum a download decodes to a blank cell: a
    // thumbnail's stand-in, never a picture.
    if (!preview && camera_.downloadBufferSize() < DECODE_MIN_JPEG_SIZE) {
        dbg(DBG_ERROR, "picture %d: %zu bytes are no picture", index + 1,
            camera_.downloadBufferSize());
        return SANE_STATUS_IO_ERROR;
    }
    DecodedPicture picture(camera_.decodePicture(DECODE_FULL_PICTURE));
    if (!picture) {
        dbg(DBG_ERROR, "picture %d cannot be decoded", index + 1);
        return SANE_STATUS_IO_ERROR;
    }
    prepared_ = std::move(picture);
    preparedIndex_ = index;
    preparedPreview_ = preview;
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::start() {
    finishCancel();
    if (state_ == State::Reading) return SANE_STATUS_DEVICE_BUSY;
    const int index = targetIndex();
    if (index < 0) {
        dbg(DBG_INFO, "start: no picture left");
        cursor_ = 0;
        state_ = State::Idle;
        return SANE_STATUS_NO_DOCS;
    }
    const bool preview = options_.preview();
    if (!(preparedIndex_ == index && preparedPreview_ == preview && prepared_)) {
        const SANE_Status s = fetch(index, preview);
        if (s != SANE_STATUS_GOOD) {
            dropPrepared();
            finishCancel();
            state_ = State::Idle;
            return s;
        }
    }
    offset_ = 0;
    state_ = State::Reading;
    dbg(DBG_INFO, "start: %s %d, %d x %d", preview ? "thumbnail" : "picture", index + 1,
        prepared_.width(), prepared_.height());
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::finishPicture() {
    const int index = preparedIndex_;
    const bool preview = preparedPreview_;
    dropPrepared();
    state_ = State::Done;
    infoIndex_ = -1;
    if (options_.deleteAfterDownload() && !preview) {
        const LinkResult r = camera_.deletePicture(index);
        if (r != LINK_OK) {
            dbg(DBG_ERROR, "picture %d was read but not deleted: %s", index + 1, linkResultName(r));
            state_ = State::Idle;
            return statusFor(r);
        }
        dbg(DBG_INFO, "picture %d deleted; %d left", index + 1, camera_.status().pictureCount);
        options_.setPictureCount(camera_.status().pictureCount);
        // The later pictures moved up: the next one has this number now.
        return SANE_STATUS_EOF;
    }
    if (options_.allPictures()) ++cursor_;
    return SANE_STATUS_EOF;
}

SANE_Status CameraHandle::read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length) {
    if (length) *length = 0;
    if (camera_.cancelRequested()) {
        finishCancel();
        return SANE_STATUS_CANCELLED;
    }
    if (!data || !length || maxLength < 0) return SANE_STATUS_INVAL;
    if (state_ == State::Done) return SANE_STATUS_EOF;
    if (state_ != State::Reading) return SANE_STATUS_INVAL;
    const std::size_t left = prepared_.byteCount() - offset_;
    if (left == 0) return finishPicture();
    const std::size_t n = std::min(left, static_cast<std::size_t>(maxLength));
    std::memcpy(data, prepared_.pixels() + offset_, n);
    offset_ += n;
    *length = static_cast<SANE_Int>(n);
    return SANE_STATUS_GOOD;
}
