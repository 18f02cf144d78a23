// gp_serial_port.cpp — plat::SerialPort over a GPPort.
#include "gphoto2/gp_serial_port.h"

#include <gphoto2/gphoto2-port-info-list.h>
#include <gphoto2/gphoto2-port-result.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long long CANCEL_POLL_MS = 100;

// The device of a "serial:/dev/ttyUSB0" port.
std::string devicePath(GPPort* port) {
    GPPortInfo info;
    char* path = nullptr;
    if (gp_port_get_info(port, &info) < GP_OK || gp_port_info_get_path(info, &path) < GP_OK ||
        !path)
        return {};
    const std::string text(path);
    const std::string prefix = "serial:";
    return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : text;
}

}  // namespace

GpSerialPort::GpSerialPort(GPPort* port, std::function<bool()> cancelled)
    : port_(port),
      cancelled_(std::move(cancelled)),
      watch_(devicePath(port)),
      format_(devicePath(port)) {}

uint32_t GpSerialPort::write(const uint8_t* data, uint32_t count) {
    // The serial port answers GP_OK, not a count, when all went.
    const int r =
        gp_port_write(port_, reinterpret_cast<const char*>(data), static_cast<int>(count));
    return r < GP_OK ? 0 : count;
}

uint32_t GpSerialPort::read(uint8_t* data, uint32_t count) {
    // libgphoto2's serial read gives a time-out, and drops what it had read,
    // when the whole count does not come; its time-out runs per wait, not per
    // call; and on a line that hangs up while it waits it spins for ever.
    // So the driver waits for bytes itself, under one deadline, and asks
    // libgphoto2 only for bytes that are there.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(readTimeoutMs_);
    uint32_t got = 0;
    while (got < count && !cancelled_()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        // Short waits, so that a cancel ends a silent wait within moments.
        const int slice = static_cast<int>(std::min<long long>(left, CANCEL_POLL_MS));
        const plat::LineWatch::Wait w = watch_.waitReadable(slice);
        if (w == plat::LineWatch::Wait::HungUp) break;
        if (w == plat::LineWatch::Wait::TimedOut) continue;
        gp_port_set_timeout(port_, static_cast<int>(left));
        const int n = static_cast<int>(std::min(count - got, watch_.available()));
        if (gp_port_read(port_, reinterpret_cast<char*>(data + got), n) != n) break;
        got += static_cast<uint32_t>(n);
    }
    return got;
}

bool GpSerialPort::getLineSettings(plat::LineSettings& out) {
    GPPortSettings settings;
    if (gp_port_get_settings(port_, &settings) < GP_OK) return false;
    out = line_;
    out.baudRate = static_cast<uint32_t>(settings.serial.speed);
    out.dataBits = static_cast<uint8_t>(settings.serial.bits);
    return true;
}

bool GpSerialPort::setLineSettings(const plat::LineSettings& wanted) {
    GPPortSettings settings;
    if (gp_port_get_settings(port_, &settings) < GP_OK) return false;
    settings.serial.speed = static_cast<int>(wanted.baudRate);
    settings.serial.bits = wanted.dataBits;
    // With parity on, libgphoto2's serial read refuses every 0xFF byte (it
    // takes the terminal's marking of a good 0xFF for a bad sequence), and
    // the camera's pictures are full of them: libgphoto2 keeps parity off,
    // and the parity and stop bits are set on the device after it, each
    // time it has written its settings.
    settings.serial.parity = GP_PORT_SERIAL_PARITY_OFF;
    settings.serial.stopbits = 1;
    if (gp_port_set_settings(port_, settings) < GP_OK || !format_.apply(wanted)) return false;
    line_ = wanted;
    return true;
}

bool GpSerialPort::setTimeouts(uint32_t readMs, uint32_t) {
    readTimeoutMs_ = readMs;
    return true;
}

bool GpSerialPort::purge() {
    const bool in = gp_port_flush(port_, 0) >= GP_OK;
    const bool out = gp_port_flush(port_, 1) >= GP_OK;
    return in && out;
}
