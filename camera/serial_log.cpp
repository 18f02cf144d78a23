// serial_log.cpp — the tracing decorator of serial ports.
#include "camera/serial_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char* parityName(plat::Parity p) {
    switch (p) {
        case plat::Parity::None:
            return "N";
        case plat::Parity::Odd:
            return "O";
        case plat::Parity::Even:
            return "E";
        case plat::Parity::Mark:
            return "M";
        case plat::Parity::Space:
            return "S";
    }
    return "?";
}

const char* stopName(plat::StopBits s) {
    switch (s) {
        case plat::StopBits::One:
            return "1";
        case plat::StopBits::OneAndHalf:
            return "1.5";
        case plat::StopBits::Two:
            return "2";
    }
    return "?";
}

std::string settingsText(const plat::LineSettings& s) {
    return std::to_string(s.baudRate) + " " + std::to_string(s.dataBits) + parityName(s.parity) +
           stopName(s.stopBits);
}

std::string hex(const uint8_t* data, uint32_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 3);
    for (uint32_t i = 0; i < count; ++i) {
        out += ' ';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

class TracedSerialPort : public plat::SerialPort {
public:
    TracedSerialPort(std::unique_ptr<plat::SerialPort> inner, std::string name, std::FILE* file)
        : inner_(std::move(inner)), name_(std::move(name)), file_(file) {
        line("open");
    }
    ~TracedSerialPort() override {
        inner_.reset();
        line("close");
        std::fclose(file_);
    }

    uint32_t write(const uint8_t* data, uint32_t count) override {
        const uint32_t n = inner_->write(data, count);
        line("write " + std::to_string(n) + "/" + std::to_string(count) + hex(data, n));
        return n;
    }
    uint32_t read(uint8_t* data, uint32_t count) override {
        const uint32_t n = inner_->read(data, count);
        line("read " + std::to_string(n) + "/" + std::to_string(count) + hex(data, n));
        return n;
    }
    bool getLineSettings(plat::LineSettings& out) override {
        const bool ok = inner_->getLineSettings(out);
        line("get line " + (ok ? settingsText(out) : std::string("failed")));
        return ok;
    }
    bool setLineSettings(const plat::LineSettings& s) override {
        const bool ok = inner_->setLineSettings(s);
        line("set line " + settingsText(s) + (ok ? "" : " failed"));
        return ok;
    }
    bool setQueueSizes(uint32_t in, uint32_t out) override {
        const bool ok = inner_->setQueueSizes(in, out);
        line("queues " + std::to_string(in) + " " + std::to_string(out) + (ok ? "" : " failed"));
        return ok;
    }
    bool setTimeouts(uint32_t readMs, uint32_t writeMs) override {
        const bool ok = inner_->setTimeouts(readMs, writeMs);
        line("timeouts " + std::to_string(readMs) + " " + std::to_string(writeMs) +
             (ok ? "" : " failed"));
        return ok;
    }
    bool purge() override {
        const bool ok = inner_->purge();
        line(ok ? "purge" : "purge failed");
        return ok;
    }
    void watchCancel(const plat::CancelSignal* cancel) override { inner_->watchCancel(cancel); }

private:
    void line(const std::string& what) {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const std::time_t t = system_clock::to_time_t(now);
        const long ms =
            static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
        char stamp[32] = "";
        if (const std::tm* tm = std::localtime(&t))
            std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", tm);
        std::fprintf(file_, "%s.%03ld %s %s\n", stamp, ms, name_.c_str(), what.c_str());
        std::fflush(file_);
    }

    std::unique_ptr<plat::SerialPort> inner_;
    std::string name_;
    std::FILE* file_;
};

}  // namespace

std::unique_ptr<plat::SerialPort> tracedSerialPort(std::unique_ptr<plat::SerialPort> port,
                                                   const std::string& portName,
                                                   const std::string& logPath) {
    if (!port) return port;
    std::FILE* file = std::fopen(logPath.c_str(), "ab");
    // A trace that cannot be written must not cost the camera.
    if (!file) return port;
    return std::make_unique<TracedSerialPort>(std::move(port), portName, file);
}

std::unique_ptr<plat::SerialPort> withSerialLog(std::unique_ptr<plat::SerialPort> port,
                                                const std::string& portName) {
    const char* path = std::getenv("PXCM_SERIAL_LOG");
    if (!path || !*path) return port;
    return tracedSerialPort(std::move(port), portName, path);
}
