// port_scan.cpp — opening a port with the camera's line format, the scan of
// COM1 to COM8, the open of one named port, and the end of a transfer that a
// camera may still be in.
#include <string>

#include "camera/camera_link.h"

namespace {

constexpr int FIRST_PORT = 1;
constexpr int LAST_PORT = 8;
constexpr unsigned AFTER_SCAN_MS = 300;
// Time for the camera to take the stop bytes and return to 9600 baud.
constexpr unsigned END_SETTLE_MS = 100;

}  // namespace

void CameraLink::setLineFormat() {
    if (!port_->getLineSettings(lineSettings_)) return;
    lineSettings_.baudRate = 9600;
    lineSettings_.dataBits = 8;
    lineSettings_.parity = plat::Parity::Odd;
    lineSettings_.stopBits = plat::StopBits::Two;
    // A port that refuses the format is used with whatever it has.
    (void)port_->setLineSettings(lineSettings_);
}

std::unique_ptr<plat::SerialPort> CameraLink::openLine(const std::string& name, bool& busy) {
    busy = false;
    return portFactory_(name, busy);
}

void CameraLink::endTransfer() {
    if (!port_) return;
    // A camera left in a transfer (its PC side killed, or a download cut
    // short) waits for block numbers at the download rate and takes every
    // other byte as a reason to wait again: the stop bytes at that rate end
    // it. Before any speed is chosen the rate is the default one.
    const uint8_t speed =
        baudRateForSpeedCode(options_.speedCode) ? options_.speedCode : SPEED_56000;
    (void)setLineSpeed(speed);
    writeByte(STOP_BYTE);
    writeByte(STOP_BYTE);
    pause(END_SETTLE_MS);
    (void)setLineSpeed(SPEED_9600);
}

bool CameraLink::answersOnPort() {
    setLineFormat();
    endTransfer();
    scanning_ = true;
    bool answered = false;
    if (handshake()) {
        command_ = 'P';
        writeByte(command_);
        writeSeparator();
        answered = readStatus();
    }
    // The flag means "an open is trying a port"; none is any longer.
    scanning_ = false;
    return answered;
}

LinkResult CameraLink::opened(CameraErrorReporter* newReporter, bool found) {
    if (!found) {
        closePort();
        return LINK_BAD_REPLY;
    }
    reporter_ = newReporter;
    pause(AFTER_SCAN_MS);
    return LINK_OK;
}

LinkResult CameraLink::findCamera(CameraErrorReporter* newReporter) {
    foundPort_ = 0;
    // A port held from an earlier scan cannot be opened twice: let it go so
    // that the scan sees every port afresh.
    closePort();
    bool anyBusy = false;
    for (int n = FIRST_PORT; n <= LAST_PORT; ++n) {
        bool busy = false;
        takePort(openLine("COM" + std::to_string(n), busy));
        anyBusy = anyBusy || busy;
        if (!port_) continue;
        if (answersOnPort()) {
            foundPort_ = n;
            break;
        }
        closePort();
    }
    if (!foundPort_ && anyBusy) return LINK_BUSY;
    return opened(newReporter, foundPort_ != 0);
}

LinkResult CameraLink::openCamera(const std::string& name, CameraErrorReporter* newReporter) {
    foundPort_ = 0;
    closePort();
    bool busy = false;
    takePort(openLine(name, busy));
    if (!port_) return busy ? LINK_BUSY : LINK_NO_PORT;
    return opened(newReporter, answersOnPort());
}

LinkResult CameraLink::openCamera(std::unique_ptr<plat::SerialPort> port,
                                  CameraErrorReporter* newReporter) {
    foundPort_ = 0;
    closePort();
    if (!port) return LINK_NO_PORT;
    takePort(std::move(port));
    return opened(newReporter, answersOnPort());
}
