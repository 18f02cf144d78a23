// camera_link.h — the link layer under CameraDevice: the handshake and line
// speeds, the camera requests, and the picture and thumbnail downloads into
// the link's download buffer. Each link holds its own port, line settings and
// reply buffer. Front ends use CameraDevice (camera/camera_device.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "camera/camera_error_reporter.h"
#include "camera/camera_replies.h"
#include "camera/link_result.h"
#include "camera/progress_sink.h"
#include "platform/cancel_signal.h"
#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/serial_port.h"

// Speed codes that the camera understands (asked in the download request)
// and that switch the PC side of the line.
constexpr uint8_t SPEED_115200 = 7;
constexpr uint8_t SPEED_56000 = 15;
constexpr uint8_t SPEED_19200 = 46;
constexpr uint8_t SPEED_9600 = 92;

// PC baud rate of a speed code; 0 for a code that leaves the rate unchanged.
uint32_t baudRateForSpeedCode(uint8_t speedCode);

constexpr uint32_t BLOCK_SIZE = 32;
constexpr uint32_t LARGEST_PICTURE = 800000;
constexpr uint32_t LARGEST_THUMBNAIL = 13000;
// Every thumbnail is a picture of this size (the information reply gives
// only its byte count).
constexpr uint32_t THUMBNAIL_WIDTH = 80;
constexpr uint32_t THUMBNAIL_HEIGHT = 56;
constexpr int PICTURE_BLOCK_TRIES = 6;
constexpr int THUMBNAIL_BLOCK_TRIES = 4;
constexpr double ADDRESSED_FIRMWARE = 4.0;
constexpr uint8_t STOP_BYTE = 0xFF;
constexpr unsigned DOWNLOAD_TIMEOUT_S = 3;
// The try after a block's whole time-out passed without a byte: long enough
// for a camera that is there (a block comes in milliseconds once asked).
constexpr unsigned PROBE_TIMEOUT_S = 1;
constexpr unsigned DRIVER_QUEUE_BYTES = 4096;

// Opens a port by name ("COMn", or a device path); null when it cannot be
// opened, with `busy` set when another program holds it.
using PortFactory =
    std::function<std::unique_ptr<plat::SerialPort>(const std::string& name, bool& busy)>;
// The link's default: plat::openSerialDevice for a device path, traced to
// the file named by $PXCM_SERIAL_LOG when that is set.
PortFactory devicePortFactory();
// For a front end that scans COM1 to COM8 or takes a port name:
// plat::openSerialPort for "COMn" (on POSIX mapped through pxcm.ini),
// plat::openSerialDevice for anything else, traced as above.
PortFactory systemPortFactory();

// The five data bytes of the clock request for a local date and time.
struct ClockBytes {
    uint8_t bytes[5];
};
ClockBytes clockBytes(int year, int month, int day, int hour, int minute);

// What the front end chooses of the line.
struct LineOptions {
    // Download speed asked of the camera (SPEED_56000 or SPEED_115200).
    uint8_t speedCode = 0;
    // Pause, in tenths of a second, between the two stop bytes of a
    // thumbnail download.
    int32_t intervalTenths = 0;
};

class CameraLink {
public:
    // Allocates a download buffer of the exact size with new[]; null on
    // failure.
    using Allocator = uint8_t* (*)(std::size_t size);

    CameraLink();
    ~CameraLink();
    CameraLink(const CameraLink&) = delete;
    CameraLink& operator=(const CameraLink&) = delete;

    // --- Port and link layer ---------------------------------------------
    // Finds the camera on COM1 to COM8 and installs the reporter; LINK_OK,
    // else LINK_BUSY when a port was held by another program, else
    // LINK_BAD_REPLY. A port still held from an earlier scan is closed first.
    [[nodiscard]] LinkResult findCamera(CameraErrorReporter* reporter);
    // As findCamera, on the one port named (COMn or a device path), or on
    // the port given.
    [[nodiscard]] LinkResult openCamera(const std::string& name, CameraErrorReporter* reporter);
    [[nodiscard]] LinkResult openCamera(std::unique_ptr<plat::SerialPort> port,
                                        CameraErrorReporter* reporter);
    // Holds `port` as if an open had found the camera there, with `reporter`
    // installed: nothing is sent and the line is left as it is.
    void usePort(std::unique_ptr<plat::SerialPort> port, CameraErrorReporter* reporter) {
        takePort(std::move(port));
        reporter_ = reporter;
    }
    // Queue sizes and total read/write time-outs of the open port.
    void setTimeouts(unsigned seconds);
    // Wakes the camera; true when it answered "G:".
    [[nodiscard]] bool handshake();
    // Switches the PC side to the rate of a speed code and purges.
    LinkResult setLineSpeed(uint8_t speedCode);
    // Ends the camera's side of a transfer it may still be in: the stop
    // bytes at the download rate, then the line back at 9600 baud, purged.
    void endTransfer();
    // Closes the port (none is held afterwards).
    void closePort();

    // --- Camera requests ---------------------------------------------------
    // A reply that is short or has the wrong header gives LINK_BAD_REPLY and
    // leaves the fields it would have filled as they were.
    [[nodiscard]] LinkResult requestStatus();
    [[nodiscard]] LinkResult setModeQ(uint8_t value);
    [[nodiscard]] LinkResult setModeT(uint8_t value);
    [[nodiscard]] LinkResult takePicture();
    [[nodiscard]] LinkResult setCameraClock(const ClockBytes& clock);
    [[nodiscard]] LinkResult deletePicture(int index);
    [[nodiscard]] LinkResult readPictureInfo(int index);
    [[nodiscard]] LinkResult readFirmwareVersion();

    // --- Downloads -----------------------------------------------------------
    // The JPEG of picture `index` (from 0) into the download buffer.
    [[nodiscard]] LinkResult downloadPicture(int index, ProgressSink* progress);
    // A failed block is told to the reporter unless `tellBlockFailure` is
    // false (a blank cell will show it).
    [[nodiscard]] LinkResult downloadThumbnail(int index, ProgressSink* progress,
                                               bool tellBlockFailure = true);

    // Decodes the download buffer into a new picture block (DECODE_DISPLAY
    // or DECODE_FULL_PICTURE); no handle when it cannot be decoded. Changes
    // nothing of the link. When the download size does not describe the
    // buffer (a refused download names a size the buffer never got), the
    // input is empty and the result the blank picture of a failed download.
    [[nodiscard]] plat::MemHandle decodePicture(int mode) const;
    // Bytes held by the download buffer; 0 without one.
    std::size_t downloadBufferSize() const { return downloadBuffer_ ? downloadBufferSize_ : 0; }
    const uint8_t* downloadData() const { return downloadBuffer_.get(); }
    int32_t downloadSize() const { return downloadSize_; }
    // Drops the download (a picture that came damaged is no picture).
    void dropDownload();
    // A thumbnail that failed: its date cleared and its size set, so that the
    // cell shows blank and is fetched again.
    void markThumbnailFailed(int32_t failedSize);

    // --- State -------------------------------------------------------------
    void setLineOptions(const LineOptions& options) { options_ = options; }
    const LineOptions& lineOptions() const { return options_; }
    void setReporter(CameraErrorReporter* reporter) { reporter_ = reporter; }
    CameraErrorReporter* reporter() const { return reporter_; }
    const CameraStatus& status() const { return status_; }
    // The counts as the caller knows them better (a status that lags).
    void setCounts(int32_t pictureCount, int32_t freeFrames);
    // The whole status as known from elsewhere (a state to start from).
    void setStatus(const CameraStatus& status) { status_ = status; }
    const PictureInfo& pictureInfo() const { return pictureInfo_; }
    double firmwareVersion() const { return firmwareVersion_; }
    // A version known without asking (a port handed over after the open).
    void assumeFirmware(double version) { firmwareVersion_ = version; }
    // COMn (1-8) on which findCamera found the camera; 0 otherwise.
    int32_t foundPort() const { return foundPort_; }
    bool scanning() const { return scanning_; }
    plat::SerialPort* port() const { return port_.get(); }
    const plat::LineSettings& lineSettings() const { return lineSettings_; }
    uint8_t command() const { return command_; }

    // Safe in a signal handler: reads of the link come back empty from now
    // on (a read under way ends at once where the port watches the cancel),
    // until clearCancel. An interrupt of the host program (Ctrl-C of a
    // program that catches it) is a cancel that no clearCancel lowers.
    void cancel() { cancel_.raise(); }
    bool cancelRequested() const { return cancel_.raised(); }
    void clearCancel() { cancel_.clear(); }

    // --- Seams: where the link's ports, pauses and buffers come from --------
    void setPortFactory(PortFactory factory) { portFactory_ = std::move(factory); }
    void setClock(plat::Clock* clock) { clock_ = clock; }
    void setAllocator(Allocator allocator) { allocate_ = allocator; }

private:
    enum class Target { Picture, Thumbnail };

    // Opens `name` with the camera's line format; null when it cannot be.
    std::unique_ptr<plat::SerialPort> openLine(const std::string& name, bool& busy);
    // Holds `port` (null: none), its reads ended by the link's cancel.
    void takePort(std::unique_ptr<plat::SerialPort> port);
    void setLineFormat();
    // The open port: the transfer ended, one handshake, the status.
    bool answersOnPort();
    LinkResult opened(CameraErrorReporter* reporter, bool found);

    void writeByte(uint8_t b);
    void writeBlock(const uint8_t* data, uint32_t count);
    void writeSeparator();
    void purge();
    uint32_t readInto(uint8_t* data, uint32_t count);
    uint32_t readReply(uint32_t count);
    [[nodiscard]] bool readStatus();
    LinkResult parsePictureInfo();
    void pause(unsigned ms);
    ReportAnswer report(LinkResult code);

    // Letter, ":", and for a one-byte argument the byte and ":".
    void sendRequest(uint8_t letter);
    void sendRequest(uint8_t letter, uint8_t arg);
    // A request answered by a status reply: BAD_REPLY told to the reporter
    // when `reportFailure`, else left to the caller.
    LinkResult statusRequest(uint8_t letter, const uint8_t* arg, unsigned timeoutS,
                             bool reportFailure, unsigned pauseMs);

    LinkResult download(Target target, int index, ProgressSink* progress, bool tellBlockFailure);
    bool fetchStepped(uint32_t blocks, uint32_t rest, ProgressSink* progress);
    bool fetchAddressed(Target target, uint32_t blocks, uint32_t rest, ProgressSink* progress);
    LinkResult blockFailed(bool tell);

    // Before the port, which watches it while it lives.
    plat::CancelSignal cancel_;

    // --- Fields, in the order the link has always kept them ----------------
    uint8_t command_ = 0;  // request letter being sent (0x00 for the handshake)
    std::unique_ptr<plat::SerialPort> port_;
    PictureInfo pictureInfo_;
    CameraStatus status_;  // the camera clock, then counts, modes, battery
    std::unique_ptr<uint8_t[]> downloadBuffer_;
    int32_t downloadSize_ = 0;
    CameraErrorReporter* reporter_ = nullptr;  // installed by the open, not owned
    double firmwareVersion_ = 0.0;

    // Read from the port, changed and written back by an open and by
    // setLineSpeed; kept between calls.
    plat::LineSettings lineSettings_{};
    // Every reply of every request is read into this buffer, from its start;
    // bytes that did not arrive keep what an earlier reply left.
    uint8_t replyBuffer_[INFO_REPLY_SIZE] = {};
    // COMn (1-8) on which the camera answered; 0 before a successful scan.
    int32_t foundPort_ = 0;
    // While an open tries a port: the handshake then makes one try.
    bool scanning_ = false;
    LineOptions options_;

    std::size_t downloadBufferSize_ = 0;
    PortFactory portFactory_;
    plat::Clock* clock_ = nullptr;
    Allocator allocate_ = nullptr;
};
