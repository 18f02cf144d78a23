// serial_port.h — a serial line as the camera link uses it: byte writes, reads
// bounded by one time-out for their whole count, the line format, queue sizes
// and purges. Windows: a COMn handle. POSIX: a termios device (COMn mapped
// through section "Ports" of pxcm.ini, else /dev/ttyS<n-1>).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/cancel_signal.h"

namespace plat {

enum class Parity : uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : uint8_t { One, OneAndHalf, Two };

// The part of the port's settings that the link reads and changes; every
// other setting of the port (flow control, parity checking, special
// characters) is kept as the port reported it.
struct LineSettings {
    uint32_t baudRate = 0;
    uint8_t dataBits = 0;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
};

inline bool operator==(const LineSettings& a, const LineSettings& b) {
    return a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.parity == b.parity &&
           a.stopBits == b.stopBits;
}
inline bool operator!=(const LineSettings& a, const LineSettings& b) {
    return !(a == b);
}

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Hands the bytes to the line; returns how many went (fewer only when the
    // write time-out ran out or the device failed).
    virtual uint32_t write(const uint8_t* data, uint32_t count) = 0;
    // Waits at most the read time-out for the whole count and returns the
    // number of bytes that arrived; only those bytes of `data` are written.
    virtual uint32_t read(uint8_t* data, uint32_t count) = 0;

    virtual bool getLineSettings(LineSettings& out) = 0;
    virtual bool setLineSettings(const LineSettings& settings) = 0;
    virtual bool setQueueSizes(uint32_t inputBytes, uint32_t outputBytes) = 0;
    // Total time allowed to one read call and to one write call.
    virtual bool setTimeouts(uint32_t readMs, uint32_t writeMs) = 0;
    // Abandons pending transmission and discards received bytes not yet read.
    virtual bool purge() = 0;
    // From now on a read ends as soon as `cancel` is raised (with the bytes
    // that came until then), not when its time-out runs out; null: never.
    // `cancel` outlives the port. A port that cannot be interrupted ignores
    // it, and its reads run their time-out.
    virtual void watchCancel(const CancelSignal* cancel) { (void)cancel; }
};

// Opens a port by its Windows name ("COM3"), exclusively; null when it does
// not exist or is in use, and then `*busy` (when given) tells which: true
// when another program holds it.
std::unique_ptr<SerialPort> openSerialPort(const std::string& name, bool* busy = nullptr);
// Opens a device given directly (a path such as /dev/ttyUSB0 or a pty on
// POSIX, a port name on Windows); null on failure, `*busy` as above.
std::unique_ptr<SerialPort> openSerialDevice(const std::string& device, bool* busy = nullptr);
// The device that a port name stands for, for messages ("/dev/pts/4").
std::string serialDeviceFor(const std::string& name);

}  // namespace plat
