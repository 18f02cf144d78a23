// camera_requests.cpp — the camera's requests other than the downloads: status,
// modes, capture, clock, deletion, picture information, firmware version.
#include <cstring>

#include "camera/camera_link.h"

namespace {

constexpr unsigned STATUS_TIMEOUT_S = 3;
constexpr unsigned CAPTURE_TIMEOUT_S = 20;
constexpr unsigned CAPTURE_TIMER_TIMEOUT_S = 35;
constexpr unsigned DELETE_TIMEOUT_S = 5;
constexpr unsigned INFO_TIMEOUT_S = 2;
constexpr unsigned AFTER_STATUS_MS = 300;
constexpr unsigned AFTER_CHANGE_MS = 200;
// The rows without a time-out of their own read with the handshake's one.
constexpr unsigned HANDSHAKE_TIMEOUT = 0;

}  // namespace

ClockBytes clockBytes(int year, int month, int day, int hour, int minute) {
    return ClockBytes{{static_cast<uint8_t>(year & 0xFF), static_cast<uint8_t>(month),
                       static_cast<uint8_t>(day), static_cast<uint8_t>(hour),
                       static_cast<uint8_t>(minute)}};
}

void CameraLink::sendRequest(uint8_t letter) {
    command_ = letter;
    writeByte(command_);
    writeSeparator();
}

void CameraLink::sendRequest(uint8_t letter, uint8_t arg) {
    sendRequest(letter);
    writeByte(arg);
    writeSeparator();
}

LinkResult CameraLink::statusRequest(uint8_t letter, const uint8_t* arg, unsigned timeoutS,
                                     bool reportFailure, unsigned pauseMs) {
    if (!handshake()) return LINK_NO_ANSWER;
    if (timeoutS != HANDSHAKE_TIMEOUT) setTimeouts(timeoutS);
    if (arg)
        sendRequest(letter, *arg);
    else
        sendRequest(letter);
    if (!readStatus()) {
        if (reportFailure) report(LINK_BAD_REPLY);
        return LINK_BAD_REPLY;
    }
    if (pauseMs) pause(pauseMs);
    return LINK_OK;
}

LinkResult CameraLink::requestStatus() {
    if (!handshake()) return LINK_NO_ANSWER;
    setTimeouts(STATUS_TIMEOUT_S);
    sendRequest('P');
    const bool answered = readStatus();
    pause(AFTER_STATUS_MS);
    return answered ? LINK_OK : LINK_BAD_REPLY;
}

LinkResult CameraLink::setModeQ(uint8_t value) {
    LinkResult r = statusRequest('Q', &value, HANDSHAKE_TIMEOUT, false, 0);
    // The camera's byte 4 may lag behind: the state asked for is what counts.
    if (r == LINK_OK) status_.modeQ = value;
    return r;
}

LinkResult CameraLink::setModeT(uint8_t value) {
    return statusRequest('T', &value, HANDSHAKE_TIMEOUT, false, 0);
}

LinkResult CameraLink::takePicture() {
    if (!handshake()) return LINK_NO_ANSWER;
    sendRequest('S');
    // The camera captures and stores before it answers; the self-timer adds
    // its delay.
    setTimeouts(status_.modeT == 1 ? CAPTURE_TIMER_TIMEOUT_S : CAPTURE_TIMEOUT_S);
    if (!readStatus()) {
        report(LINK_BAD_REPLY);
        return LINK_BAD_REPLY;
    }
    pause(AFTER_CHANGE_MS);
    return LINK_OK;
}

LinkResult CameraLink::setCameraClock(const ClockBytes& clock) {
    if (!handshake()) return LINK_NO_ANSWER;
    sendRequest('M');
    // The reply buffer doubles as the send buffer; the five bytes go as one
    // block without a separator after them.
    uint8_t* buffer = replyBuffer_;
    std::memcpy(buffer, clock.bytes, sizeof clock.bytes);
    writeBlock(buffer, sizeof clock.bytes);
    return readStatus() ? LINK_OK : LINK_BAD_REPLY;
}

LinkResult CameraLink::deletePicture(int index) {
    const uint8_t number = static_cast<uint8_t>(index + 1);
    return statusRequest('L', &number, DELETE_TIMEOUT_S, true, AFTER_CHANGE_MS);
}

LinkResult CameraLink::readPictureInfo(int index) {
    if (!handshake()) return LINK_NO_ANSWER;
    setTimeouts(INFO_TIMEOUT_S);
    sendRequest('I', static_cast<uint8_t>(index + 1));
    if (readReply(INFO_REPLY_SIZE) < INFO_REPLY_SIZE) return LINK_BAD_REPLY;
    return parsePictureInfo() == LINK_OK ? LINK_OK : LINK_BAD_REPLY;
}

LinkResult CameraLink::readFirmwareVersion() {
    if (!handshake()) return LINK_NO_ANSWER;
    setTimeouts(INFO_TIMEOUT_S);
    sendRequest('y');
    if (readReply(FIRMWARE_REPLY_SIZE) < FIRMWARE_REPLY_SIZE) return LINK_BAD_REPLY;
    return parseFirmwareReply(replyBuffer_, firmwareVersion_) ? LINK_OK : LINK_BAD_REPLY;
}
