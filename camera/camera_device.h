// camera_device.h — a camera on one line: the one object through which every
// front end (the TWAIN source, the SANE backend, `pxcm camera`, a driver of
// another camera library) talks to the camera. Each device has its own port,
// line settings, reply and download buffers and cancel flag: several cameras
// work in one process.
//
//   CameraDevice camera(&reporter);          // the reporter may be null
//   camera.setLineOptions({SPEED_56000, 1}); // download speed, interval
//   camera.openDevice("/dev/ttyUSB0");       // or openPort("COM2"), or
//                                            // findCamera() (COM1 to COM8),
//                                            // or adoptPort(an open port)
//   camera.readFirmwareVersion();            // decides the download method
//   camera.readPictureInfo(0);               // pictureInfo().width, .height
//   camera.downloadPicture(0, &progress);    // the JPEG in downloadData()
//   camera.cancel();                         // any thread, or a signal
//   camera.abortTransfer();                  // after a cut download
//
// Every operation answers a LinkResult: LINK_OK, or why it failed (LINK_BUSY:
// another program holds the port; LINK_CANCELLED: cancel() cut it short).
// Failures that a person should hear of go to the reporter, whose answer
// decides whether to try again. The line's speed changes only through
// SerialPort::setLineSettings, so any port implementation carries the camera.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "camera/camera_error_reporter.h"
#include "camera/camera_link.h"
#include "camera/camera_replies.h"
#include "camera/link_result.h"
#include "camera/progress_sink.h"
#include "platform/memory.h"
#include "platform/serial_port.h"

// Downloads of a picture whose JPEG came damaged, the first included.
constexpr int PICTURE_DOWNLOAD_TRIES = 3;

class CameraDevice {
public:
    explicit CameraDevice(CameraErrorReporter* reporter = nullptr) : reporter_(reporter) {}
    // Frees the download buffer and closes the port.
    ~CameraDevice() = default;
    CameraDevice(const CameraDevice&) = delete;
    CameraDevice& operator=(const CameraDevice&) = delete;

    // --- Opening -----------------------------------------------------------
    // Each open lets a port held before go, sets the line format (9600 baud,
    // 8 data bits, odd parity, two stop bits), ends any transfer that the
    // camera may still be in, wakes the camera and reads its status. LINK_OK;
    // LINK_BUSY when another program holds the port; LINK_NO_PORT when it
    // cannot be opened; LINK_BAD_REPLY when no camera answers (the port is
    // then let go).
    [[nodiscard]] LinkResult openDevice(const std::string& path) {
        return link_.openCamera(path, reporter_);
    }
    [[nodiscard]] LinkResult openPort(const std::string& comName) {
        return link_.openCamera(comName, reporter_);
    }
    // Over a port already open (another library's): the same steps.
    [[nodiscard]] LinkResult adoptPort(std::unique_ptr<plat::SerialPort> port) {
        return link_.openCamera(std::move(port), reporter_);
    }
    // Tries COM1 to COM8; LINK_OK, else LINK_BUSY when a port was held by
    // another program, else LINK_BAD_REPLY.
    [[nodiscard]] LinkResult findCamera() { return link_.findCamera(reporter_); }
    // COMn (1-8) on which findCamera found the camera; 0 otherwise.
    int foundPort() const { return link_.foundPort(); }
    bool isOpen() const { return link_.port() != nullptr; }
    void close() { link_.closePort(); }

    // --- Line --------------------------------------------------------------
    void setLineOptions(const LineOptions& options) { link_.setLineOptions(options); }
    const LineOptions& lineOptions() const { return link_.lineOptions(); }
    void setSpeedCode(uint8_t speedCode) {
        LineOptions o = link_.lineOptions();
        o.speedCode = speedCode;
        link_.setLineOptions(o);
    }
    // The reporter that the next open installs (and the open device uses).
    void setReporter(CameraErrorReporter* reporter) {
        reporter_ = reporter;
        if (isOpen()) link_.setReporter(reporter);
    }

    // --- Cancel and abort --------------------------------------------------
    // Safe from any thread and from a signal handler: ends the read under
    // way (at once on a POSIX port, within 0.1 s on Windows, at its time-out
    // on a port that cannot be interrupted) and makes what runs fail with
    // LINK_CANCELLED. The host program's caught interrupt does the same.
    void cancel() { link_.cancel(); }
    bool cancelRequested() const { return link_.cancelRequested(); }
    // Lowers the flag of a cancel that found nothing under way.
    void clearCancel() { link_.clearCancel(); }
    // After a download cut short: the camera out of the transfer (the stop
    // bytes at the download rate), the line back at 9600 baud and quiet, the
    // camera awake. Clears the cancel flag; true when the camera answered.
    bool abortTransfer();

    // --- Requests ----------------------------------------------------------
    [[nodiscard]] LinkResult requestStatus() { return link_.requestStatus(); }
    // Picture quality: eco 1 is ECO 320x240, 0 is STD 640x480.
    [[nodiscard]] LinkResult setQualityMode(uint8_t eco) { return link_.setModeQ(eco); }
    // The self-timer: 1 on, 0 off.
    [[nodiscard]] LinkResult setTimerMode(uint8_t on) { return link_.setModeT(on); }
    [[nodiscard]] LinkResult takePicture() { return link_.takePicture(); }
    [[nodiscard]] LinkResult setCameraClock(const ClockBytes& clock) {
        return link_.setCameraClock(clock);
    }
    [[nodiscard]] LinkResult deletePicture(int index) { return link_.deletePicture(index); }
    [[nodiscard]] LinkResult readPictureInfo(int index) { return link_.readPictureInfo(index); }
    [[nodiscard]] LinkResult readFirmwareVersion() { return link_.readFirmwareVersion(); }

    // --- What the camera told ----------------------------------------------
    const CameraStatus& status() const { return link_.status(); }
    const PictureInfo& pictureInfo() const { return link_.pictureInfo(); }
    double firmwareVersion() const { return link_.firmwareVersion(); }
    // The counts as the caller knows them better (a status that lags).
    void setCounts(int32_t pictureCount, int32_t freeFrames) {
        link_.setCounts(pictureCount, freeFrames);
    }

    // --- Downloads -----------------------------------------------------------
    // Picture `index` (from 0), its JPEG into the download buffer. A JPEG
    // that does not decode cleanly is fetched again until it does, or until
    // two downloads are alike to the byte (the camera's own file, whatever
    // it holds), PICTURE_DOWNLOAD_TRIES downloads in all. Damaged every time
    // and never alike, it gives LINK_DAMAGED, the last bytes left in the
    // buffer only so that a front end can show what the decoder finds in
    // them (never to pass them on as the picture).
    [[nodiscard]] LinkResult downloadPicture(int index, ProgressSink* progress);
    // A failed block is told to the reporter unless `tellBlockFailure` is
    // false (a blank cell will show it).
    [[nodiscard]] LinkResult downloadThumbnail(int index, ProgressSink* progress,
                                               bool tellBlockFailure = true);
    // The bytes of the last download; null without one.
    const uint8_t* downloadData() const { return link_.downloadData(); }
    // The size the last download's information named (also of one refused).
    int32_t downloadSize() const { return link_.downloadSize(); }
    // Bytes held by the download buffer; 0 without one.
    std::size_t downloadBufferSize() const { return link_.downloadBufferSize(); }
    // A thumbnail that failed: marked so that its cell shows blank.
    void markThumbnailFailed(int32_t failedSize) { link_.markThumbnailFailed(failedSize); }
    // The download buffer decoded (DECODE_DISPLAY or DECODE_FULL_PICTURE);
    // see CameraLink::decodePicture.
    [[nodiscard]] plat::MemHandle decodePicture(int mode) const {
        return link_.decodePicture(mode);
    }

    // --- The link underneath (tests, benchmarks, tracing) ------------------
    CameraLink& link() { return link_; }
    const CameraLink& link() const { return link_; }

private:
    LinkResult cancelled(LinkResult r) const {
        return link_.cancelRequested() ? LINK_CANCELLED : r;
    }

    CameraErrorReporter* reporter_ = nullptr;
    CameraLink link_;
};
