// camera_handle.h — one open camera: its device, its options and the state of
// a scan (which picture, how much of it has been read), behind the calls of
// the SANE API. Each handle has a device of its own: handles on several
// devices work at once.
#pragma once

#include <sane/sane.h>

#include <memory>
#include <string>

#include "camera/camera_device.h"
#include "sane/backend_options.h"
#include "sane/decoded_picture.h"
#include "sane/silent_reporter.h"

// The SANE status of a camera result: the one mapping from the camera's
// results to the backend's (another program holding the port is
// SANE_STATUS_DEVICE_BUSY).
SANE_Status statusFor(LinkResult r);

class CameraHandle {
public:
    // Finds the camera on `device` and reads its firmware and picture count:
    // SANE_STATUS_DEVICE_BUSY when another program holds the port,
    // SANE_STATUS_IO_ERROR when no camera answers there.
    static SANE_Status open(const std::string& device, uint8_t speedCode,
                            std::unique_ptr<CameraHandle>& out);
    ~CameraHandle();
    CameraHandle(const CameraHandle&) = delete;
    CameraHandle& operator=(const CameraHandle&) = delete;

    const std::string& device() const { return device_; }
    const SANE_Option_Descriptor* descriptor(SANE_Int option) const {
        return options_.descriptor(option);
    }
    SANE_Status controlOption(SANE_Int option, SANE_Action action, void* value, SANE_Int* info);
    SANE_Status getParameters(SANE_Parameters* params);
    SANE_Status start();
    SANE_Status read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    // Between sane_start and sane_cancel (or the next start), the last
    // picture read whole included.
    bool inScan();
    // Safe in a signal handler: only raises a flag. A download under way ends
    // at once; the next call of the handle finishes the cancel.
    void cancel() { camera_.cancel(); }

private:
    // Done: the picture has been read whole, and its parameters still hold
    // until the cancel or the next start. Cancelled: a scan was cancelled;
    // reads say so until the next start.
    enum class State { Idle, Reading, Done, Cancelled };
    struct Geometry {
        int width = 0;
        int height = 0;
    };

    explicit CameraHandle(std::string device);
    // The picture a start would take now (from 0), or -1 when none is left.
    int targetIndex() const;
    // Ends a raised cancel: a cancel within a picture starts the feeder again
    // from the first picture; one after a whole picture goes on to the next.
    void finishCancel();
    // The feeder moves on past the picture read last.
    void advance();
    // Downloads and decodes the target into prepared_.
    SANE_Status fetch(int index, bool thumbnail);
    SANE_Status geometryOf(int index, bool thumbnail, Geometry& out);
    bool holds(int index, bool thumbnail) const;
    SANE_Status finishPicture();
    void dropPrepared();

    std::string device_;
    SilentReporter reporter_;
    CameraDevice camera_{&reporter_};
    BackendOptions options_{0};

    State state_ = State::Idle;
    int cursor_ = 0;   // next picture of the feeder, from 0
    int advance_ = 0;  // pictures the feeder moves on at the next start or cancel
    Geometry scan_;    // the picture of the scan under way
    // A decoded picture and what it is; fetched for parameters before the
    // start, or by the start, and kept for the next start of the same one.
    DecodedPicture prepared_;
    int preparedIndex_ = -1;
    bool preparedThumbnail_ = false;
    std::size_t offset_ = 0;  // bytes of prepared_ already read
    // Geometry from the picture information, by index (-1: none).
    int infoIndex_ = -1;
    Geometry infoGeometry_;
};
