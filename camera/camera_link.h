// camera_link.h — the one object through which all camera traffic goes: the
// port scan, the handshake and line speeds, the camera requests, and the
// picture and thumbnail downloads into the link's download buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "camera/camera_error_reporter.h"
#include "camera/camera_replies.h"
#include "camera/link_result.h"
#include "camera/link_state.h"
#include "camera/progress_sink.h"
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
constexpr int PICTURE_BLOCK_TRIES = 6;
constexpr int THUMBNAIL_BLOCK_TRIES = 4;
constexpr double ADDRESSED_FIRMWARE = 4.0;
constexpr uint8_t STOP_BYTE = 0xFF;
constexpr unsigned DOWNLOAD_TIMEOUT_S = 3;
constexpr unsigned DRIVER_QUEUE_BYTES = 4096;

// Opens "COMn" through the factory; null for a port that cannot be opened.
using PortFactory = std::function<std::unique_ptr<plat::SerialPort>(const std::string& name)>;
// The factory of the running system: plat::openSerialPort, traced to the file
// named by $PXCM_SERIAL_LOG when that is set.
PortFactory systemPortFactory();

// Opens COMn and sets the line format (9600 baud, 8 data bits, odd parity,
// two stop bits), keeping every other setting of the port. Returns the port,
// or null when it cannot be opened; failing to read or write the settings
// still returns the open port.
std::unique_ptr<plat::SerialPort> openPort(const PortFactory& factory, int n);

// The five data bytes of the clock request for a local date and time.
struct ClockBytes {
    uint8_t bytes[5];
};
ClockBytes clockBytes(int year, int month, int day, int hour, int minute);

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
    // Finds the camera on COM1 to COM8 and installs the reporter; LINK_OK or
    // LINK_BAD_REPLY. A port still held from an earlier scan is closed first.
    [[nodiscard]] LinkResult findCamera(CameraErrorReporter* reporter);
    // Queue sizes and total read/write time-outs of the open port.
    void setTimeouts(unsigned seconds);
    // Wakes the camera; true when it answered "G:".
    [[nodiscard]] bool handshake();
    // Switches the PC side to the rate of a speed code and purges.
    LinkResult setLineSpeed(uint8_t speedCode);
    // Reads the 12-byte status reply; true and the status filled, or false
    // with the status as it was (reply short or without "S:").
    [[nodiscard]] bool readStatus();
    // Fills the picture information from the reply buffer.
    LinkResult parsePictureInfo();
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
    std::size_t downloadBufferSize() const { return downloadBuffer ? downloadBufferSize_ : 0; }

    // --- Seams: where the link's ports, pauses and buffers come from --------
    void setPortFactory(PortFactory factory) { portFactory_ = std::move(factory); }
    void setClock(plat::Clock* clock) { clock_ = clock; }
    void setAllocator(Allocator allocator) { allocate_ = allocator; }

    // --- Fields, in their declared order -------------------------------------
    uint32_t written = 0;  // count returned by the last port write
    uint32_t read = 0;     // count returned by the last port read
    uint8_t command = 0;   // request letter being sent (0x00 for the handshake)
    uint8_t argument = 0;  // one-byte argument being sent
    std::unique_ptr<plat::SerialPort> port;
    PictureInfo pictureInfo;
    CameraStatus status;  // the camera clock, then counts, modes, battery
    std::unique_ptr<uint8_t[]> downloadBuffer;
    int32_t downloadSize = 0;
    CameraErrorReporter* reporter = nullptr;  // installed by the scan, not owned
    double firmwareVersion = 0.0;

private:
    enum class Target { Picture, Thumbnail };

    void writeByte(uint8_t b);
    void writeBlock(const uint8_t* data, uint32_t count);
    void writeSeparator();
    void purge();
    uint32_t readInto(uint8_t* data, uint32_t count);
    uint32_t readReply(uint32_t count);
    void pause(unsigned ms);
    int report(LinkResult code);

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

    std::size_t downloadBufferSize_ = 0;
    PortFactory portFactory_;
    plat::Clock* clock_ = nullptr;
    Allocator allocate_ = nullptr;
};
