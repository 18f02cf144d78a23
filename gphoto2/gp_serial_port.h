// gp_serial_port.h — the camera link's serial port over libgphoto2's own
// port (GPPort), which libgphoto2 opened (and locked) before the driver
// starts and closes after it: the line settings and speed go through
// gp_port_set_settings, bytes through gp_port_read and gp_port_write. The
// port carries the rate; the camera's character format (odd parity, two
// stop bits), which libgphoto2 cannot carry for binary data, is held beside
// it on the same device (see setLineSettings).
#pragma once

#include <gphoto2/gphoto2-port.h>

#include <cstdint>
#include <functional>

#include "platform/line_format.h"
#include "platform/line_watch.h"
#include "platform/serial_port.h"

class GpSerialPort : public plat::SerialPort {
public:
    // `port` stays libgphoto2's and must outlive this object. Once
    // `cancelled` answers true, a read under way ends within moments.
    GpSerialPort(GPPort* port, std::function<bool()> cancelled);

    uint32_t write(const uint8_t* data, uint32_t count) override;
    uint32_t read(uint8_t* data, uint32_t count) override;
    bool getLineSettings(plat::LineSettings& out) override;
    bool setLineSettings(const plat::LineSettings& settings) override;
    bool setQueueSizes(uint32_t, uint32_t) override { return true; }
    bool setTimeouts(uint32_t readMs, uint32_t) override;
    bool purge() override;

private:
    GPPort* port_;
    std::function<bool()> cancelled_;
    // Where the driver waits for bytes (see read).
    plat::LineWatch watch_;
    // Where the format is set, and put back when the driver ends.
    plat::LineFormat format_;
    uint32_t readTimeoutMs_ = 1000;
    // The format the link asked for, as it reads it back.
    plat::LineSettings line_{};
};
