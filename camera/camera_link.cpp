// camera_link.cpp — the link layer: port I/O through the reply buffer, time-outs,
// the handshake that wakes the camera, and the line-speed switch.
#include "camera/camera_link.h"

#include <new>

namespace {

constexpr int HANDSHAKE_TRIES = 7;

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

CameraLink::CameraLink() : portFactory_(systemPortFactory()), allocate_(allocateWithNew) {}

// Frees the download buffer and closes the port (their owners do it).
CameraLink::~CameraLink() = default;

void CameraLink::closePort() {
    port.reset();
}

void CameraLink::writeBlock(const uint8_t* data, uint32_t count) {
    // The written count is not examined: a lost byte shows as a missing reply.
    written = port ? port->write(data, count) : 0;
}

void CameraLink::writeByte(uint8_t b) {
    writeBlock(&b, 1);
}

void CameraLink::writeSeparator() {
    writeByte(linkState().separator);
}

void CameraLink::purge() {
    if (port) (void)port->purge();
}

uint32_t CameraLink::readInto(uint8_t* data, uint32_t count) {
    read = port ? port->read(data, count) : 0;
    return read;
}

uint32_t CameraLink::readReply(uint32_t count) {
    return readInto(linkState().replyBuffer, count);
}

void CameraLink::pause(unsigned ms) {
    plat::Clock& c = clock_ ? *clock_ : plat::systemClock();
    c.sleepMs(ms);
}

int CameraLink::report(LinkResult code) {
    return reporter ? reporter->reportError(code) : 0;
}

void CameraLink::setTimeouts(unsigned seconds) {
    if (!port) return;
    (void)port->setQueueSizes(DRIVER_QUEUE_BYTES, DRIVER_QUEUE_BYTES);
    (void)port->setTimeouts(seconds * 1000, seconds * 1000);
}

bool CameraLink::handshake() {
    LinkState& st = linkState();
    command = 0x00;
    setTimeouts(1);
    int tries = 0;
    int answer = plat::ANSWER_RETRY;
    while (tries < HANDSHAKE_TRIES && answer == plat::ANSWER_RETRY) {
        purge();
        writeByte(0x00);
        // A short read must not pass on bytes an earlier reply left behind.
        if (readReply(2) == 2 && st.replyBuffer[0] == 'G' && st.replyBuffer[1] == ':') return true;
        if (st.scanning) return false;  // one try per port during a scan
        if (tries == HANDSHAKE_TRIES - 1) {
            // Nobody to ask: give up after the seventh try.
            if (!reporter) return false;
            answer = reporter->reportError(LINK_NO_ANSWER);
            if (answer == plat::ANSWER_CANCEL) return false;
            tries = 0;
        }
        ++tries;
    }
    return false;
}

LinkResult CameraLink::setLineSpeed(uint8_t speedCode) {
    LinkState& st = linkState();
    if (port) (void)port->getLineSettings(st.lineSettings);
    if (uint32_t baud = baudRateForSpeedCode(speedCode)) st.lineSettings.baudRate = baud;
    if (port) (void)port->setLineSettings(st.lineSettings);
    purge();
    return LINK_OK;
}

bool CameraLink::readStatus() {
    // A short reply would leave an earlier reply's bytes in the fields.
    if (readReply(STATUS_REPLY_SIZE) < STATUS_REPLY_SIZE) return false;
    return parseStatusReply(linkState().replyBuffer, status);
}

LinkResult CameraLink::parsePictureInfo() {
    return parsePictureInfoReply(linkState().replyBuffer, pictureInfo);
}
