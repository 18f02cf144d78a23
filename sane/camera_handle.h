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

class CameraHandle {
public:
    // Finds the camera on `device` and reads its firmware and picture count:
    // SANE_STATUS_IO_ERROR when it does not answer there.
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
    // Safe in a signal handler: only raises a flag. A download under way ends
    // at once; the next call of the handle finishes the cancel.
    void cancel() { camera_.cancel(); }

private:
    enum class State { Idle, Reading, Done };
    struct Geometry {
        int width = 0;
        int height = 0;
    };

    explicit CameraHandle(std::string device);
    // The picture a start would take now (from 0), or -1 when none is left.
    int targetIndex() const;
    // Ends a raised cancel: drops the picture; a cancel within a picture
    // starts "All pictures" again from the first.
    void finishCancel();
    // Downloads and decodes the target into prepared_.
    SANE_Status fetch(int index, bool preview);
    SANE_Status geometryOf(int index, bool preview, Geometry& out);
    SANE_Status finishPicture();
    void dropPrepared();

    std::string device_;
    SilentReporter reporter_;
    CameraDevice camera_{&reporter_};
    BackendOptions options_{0};

    State state_ = State::Idle;
    int cursor_ = 0;  // next picture of "All pictures", from 0
    // A decoded picture and what it is; fetched for parameters before the
    // start, or by the start.
    DecodedPicture prepared_;
    int preparedIndex_ = -1;
    bool preparedPreview_ = false;
    std::size_t offset_ = 0;  // bytes of prepared_ already read
    // Geometry from the picture information, by index (-1: none).
    int infoIndex_ = -1;
    Geometry infoGeometry_;
};
