// camera_handle.cpp — pictures through the camera device for SANE: geometry
// before the start, the download and decode at the start, rows on reading,
// the feeder (ADF) one picture per start, the last download kept for the next
// start of the same picture, deletion only when asked and only after a
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

SANE_Status statusFor(LinkResult r) {
    switch (r) {
        case LINK_OK:
            return SANE_STATUS_GOOD;
        case LINK_NO_MEMORY:
            return SANE_STATUS_NO_MEM;
        case LINK_BUSY:
            return SANE_STATUS_DEVICE_BUSY;
        case LINK_CANCELLED:
            return SANE_STATUS_CANCELLED;
        default:
            return SANE_STATUS_IO_ERROR;
    }
}

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
    camera_.clearCancel();
    dbg(DBG_CALL, "cancel finished");
    if (state_ == State::Reading) cursor_ = 0;
    if (state_ == State::Done) advance();
    if (state_ == State::Reading || state_ == State::Done) state_ = State::Cancelled;
}

void CameraHandle::advance() {
    cursor_ += advance_;
    advance_ = 0;
}

bool CameraHandle::inScan() {
    finishCancel();
    return state_ == State::Reading || state_ == State::Done;
}

void CameraHandle::dropPrepared() {
    prepared_ = DecodedPicture();
    preparedIndex_ = -1;
    offset_ = 0;
}

bool CameraHandle::holds(int index, bool thumbnail) const {
    return prepared_ && preparedIndex_ == index && preparedThumbnail_ == thumbnail;
}

SANE_Status CameraHandle::controlOption(SANE_Int option, SANE_Action action, void* value,
                                        SANE_Int* info) {
    finishCancel();
    if (action != SANE_ACTION_GET_VALUE && state_ == State::Reading) return SANE_STATUS_DEVICE_BUSY;
    const SANE_Status s = options_.control(option, action, value, info);
    if (s == SANE_STATUS_GOOD && action != SANE_ACTION_GET_VALUE) {
        // Another choice of pictures: the feeder begins afresh.
        cursor_ = 0;
        advance_ = 0;
        state_ = State::Idle;
    }
    return s;
}

int CameraHandle::targetIndex() const {
    const int count = camera_.status().pictureCount;
    const int index = options_.allPictures() ? cursor_ : options_.picture() - 1;
    return index >= 0 && index < count ? index : -1;
}

SANE_Status CameraHandle::geometryOf(int index, bool thumbnail, Geometry& out) {
    if (holds(index, thumbnail)) {
        out = {prepared_.width(), prepared_.height()};
        return SANE_STATUS_GOOD;
    }
    // The information names a picture's size; a thumbnail's only its decoding.
    if (!thumbnail) {
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
    const SANE_Status s = fetch(index, thumbnail);
    if (s != SANE_STATUS_GOOD) return s;
    out = {prepared_.width(), prepared_.height()};
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::getParameters(SANE_Parameters* params) {
    if (!params) return SANE_STATUS_INVAL;
    finishCancel();
    Geometry g;
    if (state_ == State::Reading || state_ == State::Done) {
        g = scan_;
    } else {
        const int index = targetIndex();
        if (index >= 0) {
            const SANE_Status s = geometryOf(index, options_.thumbnail(), g);
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

SANE_Status CameraHandle::fetch(int index, bool thumbnail) {
    dropPrepared();
    dbg(DBG_INFO, "downloading %s %d", thumbnail ? "thumbnail" : "picture", index + 1);
    const LinkResult r = thumbnail ? camera_.downloadThumbnail(index, nullptr)
                                   : camera_.downloadPicture(index, nullptr);
    if (r == LINK_CANCELLED) {
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
    if (!thumbnail && camera_.downloadBufferSize() < DECODE_MIN_JPEG_SIZE) {
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
    preparedThumbnail_ = thumbnail;
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::start() {
    finishCancel();
    if (state_ == State::Reading) return SANE_STATUS_DEVICE_BUSY;
    if (state_ == State::Done) advance();
    state_ = State::Idle;
    const int index = targetIndex();
    if (index < 0) {
        dbg(DBG_INFO, "start: no picture left");
        cursor_ = 0;
        return SANE_STATUS_NO_DOCS;
    }
    const bool thumbnail = options_.thumbnail();
    if (!holds(index, thumbnail)) {
        const SANE_Status s = fetch(index, thumbnail);
        if (s != SANE_STATUS_GOOD) {
            dropPrepared();
            camera_.clearCancel();
            state_ = State::Idle;
            return s;
        }
    }
    offset_ = 0;
    scan_ = {prepared_.width(), prepared_.height()};
    state_ = State::Reading;
    dbg(DBG_INFO, "start: %s %d, %d x %d", thumbnail ? "thumbnail" : "picture", index + 1,
        scan_.width, scan_.height);
    return SANE_STATUS_GOOD;
}

SANE_Status CameraHandle::finishPicture() {
    // The picture stays the scan's until the cancel or the next start: a
    // frontend (or saned, reading ahead of its client) may ask for its
    // parameters in between.
    state_ = State::Done;
    infoIndex_ = -1;
    dbg(DBG_INFO, "%s %d read whole", preparedThumbnail_ ? "thumbnail" : "picture",
        preparedIndex_ + 1);
    if (options_.deleteAfterDownload() && !preparedThumbnail_) {
        const int index = preparedIndex_;
        // The later pictures move up: the next one has this number now.
        dropPrepared();
        const LinkResult r = camera_.deletePicture(index);
        if (r != LINK_OK) {
            dbg(DBG_ERROR, "picture %d was read but not deleted: %s", index + 1, linkResultName(r));
            return statusFor(r);
        }
        dbg(DBG_INFO, "picture %d deleted; %d left", index + 1, camera_.status().pictureCount);
        options_.setPictureCount(camera_.status().pictureCount);
        return SANE_STATUS_EOF;
    }
    if (options_.allPictures()) advance_ = 1;
    return SANE_STATUS_EOF;
}

SANE_Status CameraHandle::read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length) {
    if (length) *length = 0;
    finishCancel();
    switch (state_) {
        case State::Cancelled:
            return SANE_STATUS_CANCELLED;
        case State::Done:
            return SANE_STATUS_EOF;
        case State::Idle:
            return SANE_STATUS_INVAL;
        case State::Reading:
            break;
    }
    if (!data || !length || maxLength < 0) return SANE_STATUS_INVAL;
    const std::size_t left = prepared_.byteCount() - offset_;
    if (left == 0) return finishPicture();
    const std::size_t n = std::min(left, static_cast<std::size_t>(maxLength));
    std::memcpy(data, prepared_.pixels() + offset_, n);
    offset_ += n;
    *length = static_cast<SANE_Int>(n);
    return SANE_STATUS_GOOD;
}
