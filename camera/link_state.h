// link_state.h — the module-wide state of the camera link: one copy, shared by
// the link and the camera window's settings.
#pragma once

#include <cstdint>

#include "camera/camera_replies.h"
#include "platform/serial_port.h"

struct LinkState {
    // Read from the port, changed and written back by openPort and
    // setLineSpeed; kept between calls.
    plat::LineSettings lineSettings{};
    // Every reply of every request is read into this buffer, from its start;
    // bytes that did not arrive keep what an earlier reply left.
    uint8_t replyBuffer[INFO_REPLY_SIZE] = {};
    // Sent after the request letter and after each one-byte argument.
    uint8_t separator = ':';
    // COMn (1-8) on which the camera answered; 0 before a successful scan.
    int32_t foundPort = 0;
    // 1 while findCamera tries a port: the handshake then makes one try.
    int32_t scanning = 0;
    // Download speed asked of the camera; the camera window sets it from
    // SERIAL_SPEED when it initialises.
    uint8_t speedCode = 0;
    // Pause, in tenths of a second, between the two stop bytes of a thumbnail
    // download; the camera window sets it from SPECIAL_INTERVAL_TIME.
    int32_t specialInterval = 0;
};

LinkState& linkState();
// Back to the state at module load (tests).
void resetLinkState();
