// cancellable_port.h — a serial port whose reads come back empty once a
// cancel flag is raised, so that a download under way ends by the link's own
// failure path (stop bytes, line back to 9600 baud) within moments.
#pragma once

#include <atomic>
#include <memory>

#include "platform/serial_port.h"

class CancellablePort : public plat::SerialPort {
public:
    // `cancelled` must outlive the port.
    CancellablePort(std::unique_ptr<plat::SerialPort> port, const std::atomic<bool>& cancelled)
        : port_(std::move(port)), cancelled_(cancelled) {}

    uint32_t write(const uint8_t* data, uint32_t count) override {
        return port_->write(data, count);
    }
    uint32_t read(uint8_t* data, uint32_t count) override {
        if (cancelled_.load()) return 0;
        return port_->read(data, count);
    }
    bool getLineSettings(plat::LineSettings& out) override { return port_->getLineSettings(out); }
    bool setLineSettings(const plat::LineSettings& settings) override {
        return port_->setLineSettings(settings);
    }
    bool setQueueSizes(uint32_t inputBytes, uint32_t outputBytes) override {
        return port_->setQueueSizes(inputBytes, outputBytes);
    }
    bool setTimeouts(uint32_t readMs, uint32_t writeMs) override {
        return port_->setTimeouts(readMs, writeMs);
    }
    bool purge() override { return port_->purge(); }

private:
    std::unique_ptr<plat::SerialPort> port_;
    const std::atomic<bool>& cancelled_;
};
