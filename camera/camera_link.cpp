// camera_link.cpp — the link layer: port I/O through the reply buffer, time-outs,
// the handshake that wakes the camera, and the line-speed switch.
#include "camera/camera_link.h"

#include <new>

namespace {

constexpr int HANDSHAKE_TRIES = 7;
// Sent after the request letter and after each one-byte argument.
constexpr uint8_t SEPARATOR = ':';

uint8_t* allocateWithNew(std::size_t size) {
    return new (std::nothrow) uint8_t[size];
}

}  // namespace

uint32_t baudRateForSpeedCode(uint8_t speedCode) {
    switch (speedCode) {
        case SPEED_115200:
            return 115200;
        case SPEED_56000:
            return 56000;
        case SPEED_19200:
            return 19200;
        case SPEED_9600:
            return 9600;
        default:
            return 0;
    }
}

CameraLink::CameraLink() : portFactory_(devicePortFactory()), allocate_(allocateWithNew) {}

// Frees the download buffer and closes the port (their owners do it).
CameraLink::~CameraLink() = default;

void CameraLink::closePort() {
    port_.reset();
}

void CameraLink::takePort(std::unique_ptr<plat::SerialPort> port) {
    port_ = std::move(port);
    if (port_) port_->watchCancel(&cancel_);
}

void CameraLink::writeBlock(const uint8_t* data, uint32_t count) {
    // The written count is not examined: a lost byte shows as a missing reply.
    if (port_) (void)port_->write(data, count);
}

void CameraLink::writeByte(uint8_t b) {
    writeBlock(&b, 1);
}

void CameraLink::writeSeparator() {
    writeByte(SEPARATOR);
}

void CameraLink::purge() {
    if (port_) (void)port_->purge();
}

uint32_t CameraLink::readInto(uint8_t* data, uint32_t count) {
    // A cancel makes every read come back empty: whatever runs ends by its
    // own failure path.
    if (!port_ || cancel_.raised()) return 0;
    return port_->read(data, count);
}

uint32_t CameraLink::readReply(uint32_t count) {
    return readInto(replyBuffer_, count);
}

void CameraLink::pause(unsigned ms) {
    plat::Clock& c = clock_ ? *clock_ : plat::systemClock();
    c.sleepMs(ms);
}

ReportAnswer CameraLink::report(LinkResult code) {
    return reporter_ ? reporter_->reportError(code) : ReportAnswer::Ok;
}

void CameraLink::setTimeouts(unsigned seconds) {
    if (!port_) return;
    (void)port_->setQueueSizes(DRIVER_QUEUE_BYTES, DRIVER_QUEUE_BYTES);
    (void)port_->setTimeouts(seconds * 1000, seconds * 1000);
}

bool CameraLink::handshake() {
    command_ = 0x00;
    setTimeouts(1);
    int tries = 0;
    ReportAnswer answer = ReportAnswer::Retry;
    while (tries < HANDSHAKE_TRIES && answer == ReportAnswer::Retry) {
        purge();
        writeByte(0x00);
        // A short read must not pass on bytes an earlier reply left behind.
        if (readReply(2) == 2 && replyBuffer_[0] == 'G' && replyBuffer_[1] == ':') return true;
        if (scanning_) return false;  // one try per port during a scan
        if (cancel_.raised()) return false;
        if (tries == HANDSHAKE_TRIES - 1) {
            // Nobody to ask: give up after the seventh try.
            if (!reporter_) return false;
            answer = reporter_->reportError(LINK_NO_ANSWER);
            if (answer != ReportAnswer::Retry) return false;
            tries = 0;
        }
        ++tries;
    }
    return false;
}

LinkResult CameraLink::setLineSpeed(uint8_t speedCode) {
    if (port_) (void)port_->getLineSettings(lineSettings_);
    if (uint32_t baud = baudRateForSpeedCode(speedCode)) lineSettings_.baudRate = baud;
    if (port_) (void)port_->setLineSettings(lineSettings_);
    purge();
    return LINK_OK;
}

bool CameraLink::readStatus() {
    // A short reply would leave an earlier reply's bytes in the fields.
    if (readReply(STATUS_REPLY_SIZE) < STATUS_REPLY_SIZE) return false;
    return parseStatusReply(replyBuffer_, status_);
}

LinkResult CameraLink::parsePictureInfo() {
    return parsePictureInfoReply(replyBuffer_, pictureInfo_);
}

void CameraLink::setCounts(int32_t pictureCount, int32_t freeFrames) {
    status_.pictureCount = pictureCount;
    status_.freeFrames = freeFrames;
}
