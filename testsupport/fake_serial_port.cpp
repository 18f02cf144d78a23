// fake_serial_port.cpp — the fake port, its reply script and the meter.
#include "testsupport/fake_serial_port.h"

#include <algorithm>
#include <cstdio>

namespace testsupport {

std::string hexBytes(const std::uint8_t* data, std::size_t n) {
    std::string out;
    char b[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, " %02X", data[i]);
        out += b;
    }
    return out;
}

std::string settingsText(const plat::LineSettings& s) {
    static const char* parity = "NOEMS";
    static const char* stop[] = {"1", "1.5", "2"};
    return std::to_string(s.baudRate) + " " + std::to_string(s.dataBits) +
           parity[static_cast<int>(s.parity)] + stop[static_cast<int>(s.stopBits)];
}

std::uint32_t ReplyScript::toPc(std::uint8_t* data, std::uint32_t count) {
    Read r{data, count, {}};
    if (!replies.empty()) {
        Bytes& front = replies.front();
        const std::size_t got = std::min<std::size_t>(count, front.size());
        const auto end = front.begin() + static_cast<std::ptrdiff_t>(got);
        r.got.assign(front.begin(), end);
        if (got < front.size() && got == count)
            front.erase(front.begin(), end);
        else
            replies.pop_front();
    }
    std::copy(r.got.begin(), r.got.end(), data);
    const auto got = static_cast<std::uint32_t>(r.got.size());
    reads.push_back(std::move(r));
    return got;
}

FakeSerialPort::FakeSerialPort(Transcript* transcript, std::string name)
    : far_(own_), transcript_(transcript), name_(std::move(name)) {}

FakeSerialPort::FakeSerialPort(FarEnd& far, Transcript* transcript, std::string name)
    : far_(far), transcript_(transcript), name_(std::move(name)) {}

FakeSerialPort::~FakeSerialPort() {
    note("close " + name_);
}

void FakeSerialPort::note(std::string entry) {
    if (transcript_) transcript_->add(std::move(entry));
}

std::uint32_t FakeSerialPort::write(const std::uint8_t* data, std::uint32_t count) {
    note("W" + hexBytes(data, count));
    sent.insert(sent.end(), data, data + count);
    far_.fromPc(data, count);
    return count;
}

std::uint32_t FakeSerialPort::read(std::uint8_t* data, std::uint32_t count) {
    const std::uint32_t got = far_.toPc(data, count);
    note("R" + std::to_string(count) + ":" + std::to_string(got));
    return got;
}

bool FakeSerialPort::getLineSettings(plat::LineSettings& out) {
    note("get");
    if (failGet) return false;
    out = settings;
    return true;
}

bool FakeSerialPort::setLineSettings(const plat::LineSettings& s) {
    note("set " + settingsText(s));
    if (failSet) return false;
    settings = s;
    return true;
}

bool FakeSerialPort::setQueueSizes(std::uint32_t in, std::uint32_t out) {
    note("queues " + std::to_string(in) + "/" + std::to_string(out));
    return true;
}

bool FakeSerialPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    std::string entry = "timeouts " + std::to_string(readMs) + "/" + std::to_string(writeMs);
    // The link always sets the queue sizes right before the time-outs: one
    // entry for both.
    if (transcript_ && !transcript_->log.empty() &&
        transcript_->log.back().rfind("queues ", 0) == 0) {
        entry = transcript_->log.back() + ", " + entry;
        transcript_->log.pop_back();
    }
    note(std::move(entry));
    return true;
}

bool FakeSerialPort::purge() {
    note("purge");
    far_.purged();
    return true;
}

namespace {

// Adds the time of one call to a meter's figure (a clock read costs tens of
// nanoseconds: the figures stay those of the run without it).
class Timed {
public:
    explicit Timed(double& into) : into_(into), start_(std::chrono::steady_clock::now()) {}
    ~Timed() {
        into_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    double& into_;
    std::chrono::steady_clock::time_point start_;
};

constexpr std::uint32_t BLOCK_BYTES = 32;

}  // namespace

std::uint32_t MeteredPort::charge(std::uint32_t bytes) {
    meter_.idealSeconds += bytes * 12.0 / baud_;
    return bytes;
}

void MeteredPort::noteRequest() {
    if (!blockEnded_) return;
    const auto now = Steady::now();
    meter_.turnarounds.push_back(std::chrono::duration<double>(now - blockEnd_).count());
    if (requestSeen_)
        meter_.blockExcess.push_back(std::chrono::duration<double>(now - requestStart_).count() -
                                     (meter_.idealSeconds - idealAtRequest_));
    requestStart_ = now;
    idealAtRequest_ = meter_.idealSeconds;
    requestSeen_ = true;
    blockEnded_ = false;
}

std::uint32_t MeteredPort::write(const std::uint8_t* data, std::uint32_t count) {
    noteRequest();
    Timed t(meter_.writeSeconds);
    return charge(inner_->write(data, count));
}

std::uint32_t MeteredPort::read(std::uint8_t* data, std::uint32_t count) {
    std::uint32_t got;
    {
        Timed t(meter_.readSeconds);
        got = inner_->read(data, count);
    }
    blockEnd_ = Steady::now();
    // A whole block: the next write is the next request (or the stop). Any
    // other reply (a handshake, an information block) ends a series.
    blockEnded_ = count == BLOCK_BYTES && got == count;
    if (count != BLOCK_BYTES) requestSeen_ = false;
    return charge(got);
}

bool MeteredPort::getLineSettings(plat::LineSettings& out) {
    Timed t(meter_.controlSeconds);
    return inner_->getLineSettings(out);
}

bool MeteredPort::setLineSettings(const plat::LineSettings& s) {
    Timed t(meter_.controlSeconds);
    const bool ok = inner_->setLineSettings(s);
    if (ok) baud_ = s.baudRate;
    return ok;
}

bool MeteredPort::setQueueSizes(std::uint32_t in, std::uint32_t out) {
    Timed t(meter_.controlSeconds);
    return inner_->setQueueSizes(in, out);
}

bool MeteredPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    Timed t(meter_.controlSeconds);
    return inner_->setTimeouts(readMs, writeMs);
}

bool MeteredPort::purge() {
    Timed t(meter_.controlSeconds);
    return inner_->purge();
}

}  // namespace testsupport
