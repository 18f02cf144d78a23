// fake_serial_port.h — the serial port of tests, fuzz targets and benchmarks:
// the PC's end of a line whose far end is a script of replies or a model of
// the camera, with an optional transcript of every call the PC made; and a
// meter around a real port that times its traffic.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// What one test's line and clock saw, in order, one entry a call ("W 00",
// "R 2:2", "set 9600 8O2", "sleep 300").
struct Transcript {
    std::vector<std::string> log;
    void add(std::string entry) { log.push_back(std::move(entry)); }
};

std::string hexBytes(const std::uint8_t* data, std::size_t n);
std::string settingsText(const plat::LineSettings& s);

// The camera's end of the line: the PC's writes reach it, its reads take
// from it, a purge discards what it has sent.
class FarEnd {
public:
    virtual ~FarEnd() = default;
    virtual void fromPc(const std::uint8_t* data, std::uint32_t count) = 0;
    // The bytes that arrive within one read's time-out, at most `count`.
    virtual std::uint32_t toPc(std::uint8_t* data, std::uint32_t count) = 0;
    virtual void purged() {}
};

// One read as the far end answered it: where it went, what was asked, what
// came.
struct Read {
    std::uint8_t* into;
    std::uint32_t asked;
    Bytes got;
};

// Replies in the order the reads take them, as a line gives them: a reply
// longer than the read leaves the rest for the next read, a shorter one is
// all that comes before the time-out, an empty one is a time-out. Every read
// is recorded.
class ReplyScript : public FarEnd {
public:
    std::deque<Bytes> replies;
    std::vector<Read> reads;

    void answer(const Bytes& bytes) { replies.push_back(bytes); }
    void answer(const std::string& text) { replies.emplace_back(text.begin(), text.end()); }
    void silence(int times = 1) { replies.insert(replies.end(), times, Bytes{}); }
    bool allAnswered() const { return replies.empty(); }

    void fromPc(const std::uint8_t*, std::uint32_t) override {}
    std::uint32_t toPc(std::uint8_t* data, std::uint32_t count) override;
};

class FakeSerialPort : public plat::SerialPort {
public:
    // A port whose far end is its own reply script.
    explicit FakeSerialPort(Transcript* transcript = nullptr, std::string name = "");
    // A port onto a far end that outlives it (a camera model, a script shared
    // by every port opened over a run).
    explicit FakeSerialPort(FarEnd& far, Transcript* transcript = nullptr, std::string name = "");
    ~FakeSerialPort() override;

    // The own script's replies (a port made on a far end has none).
    void answer(const Bytes& bytes) { own_.answer(bytes); }
    void answer(const std::string& text) { own_.answer(text); }
    void silence(int times = 1) { own_.silence(times); }
    bool allAnswered() const { return own_.allAnswered(); }

    plat::LineSettings settings{1200, 7, plat::Parity::None, plat::StopBits::One};
    bool failGet = false;
    bool failSet = false;
    // Every byte written through this port, in order.
    Bytes sent;

    std::uint32_t write(const std::uint8_t* data, std::uint32_t count) override;
    std::uint32_t read(std::uint8_t* data, std::uint32_t count) override;
    bool getLineSettings(plat::LineSettings& out) override;
    bool setLineSettings(const plat::LineSettings& s) override;
    bool setQueueSizes(std::uint32_t in, std::uint32_t out) override;
    bool setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    bool purge() override;

private:
    void note(std::string entry);

    ReplyScript own_;
    FarEnd& far_;
    Transcript* transcript_;
    std::string name_;
};

// Where a real line's time went: every byte at the rate of the line when it
// went (12 bit times each), the waits in each kind of call, the pauses of the
// clock, and each block's turnaround (from the read that completed a 32-byte
// block to the next write) and its exchange beyond wire time.
struct WireMeter {
    double idealSeconds = 0;
    double readSeconds = 0;
    double writeSeconds = 0;
    double controlSeconds = 0;  // line settings, queue sizes, time-outs, purges
    double pauseSeconds = 0;
    std::vector<double> turnarounds;
    std::vector<double> blockExcess;
};

// A real port (the simulated camera's pty) with its traffic timed into a
// meter.
class MeteredPort : public plat::SerialPort {
public:
    MeteredPort(std::unique_ptr<plat::SerialPort> inner, WireMeter& meter)
        : inner_(std::move(inner)), meter_(meter) {}

    std::uint32_t write(const std::uint8_t* data, std::uint32_t count) override;
    std::uint32_t read(std::uint8_t* data, std::uint32_t count) override;
    bool getLineSettings(plat::LineSettings& out) override;
    bool setLineSettings(const plat::LineSettings& s) override;
    bool setQueueSizes(std::uint32_t in, std::uint32_t out) override;
    bool setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    bool purge() override;

private:
    using Steady = std::chrono::steady_clock;
    std::uint32_t charge(std::uint32_t bytes);
    void noteRequest();

    std::unique_ptr<plat::SerialPort> inner_;
    WireMeter& meter_;
    std::uint32_t baud_ = 9600;
    Steady::time_point blockEnd_;
    bool blockEnded_ = false;
    Steady::time_point requestStart_;
    double idealAtRequest_ = 0;
    bool requestSeen_ = false;
};

}  // namespace testsupport
