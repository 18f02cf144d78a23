// line_schedule.h — when bytes cross the simulated serial line: due times
// counted from the moment the line was last idle, writes grouped into chunks,
// and the OS's typical hand-over delay. Plain arithmetic, apart from the pty.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pxcmcam {

using LineClock = std::chrono::steady_clock;
using TimePoint = LineClock::time_point;
using Duration = LineClock::duration;

constexpr int kBitsPerByte = 12;  // start, 8 data, parity, 2 stop

// The wire time of `count` bytes at `baud`, exact to the nanosecond however
// many bytes: never a rounded byte time multiplied up.
inline Duration wireTime(std::size_t count, int baud) {
    const std::int64_t bits = static_cast<std::int64_t>(count) * kBitsPerByte;
    return std::chrono::duration_cast<Duration>(
        std::chrono::nanoseconds(bits * 1000000000LL / std::max(baud, 1)));
}

// One outgoing run of bytes that starts when the line is free: byte i (from 0)
// is whole at the far end at start + wireTime(i + 1).
class Transmission {
public:
    Transmission(TimePoint start, int baud, std::size_t size)
        : start_(start), baud_(baud), size_(size) {}

    // When the first `count` bytes have all crossed.
    [[nodiscard]] TimePoint due(std::size_t count) const { return start_ + wireTime(count, baud_); }
    [[nodiscard]] TimePoint end() const { return due(size_); }

    // How many bytes the next write carries once `done` have gone: at least
    // one, every byte already due at `now`, and the rest of its span. Spans
    // are counted back from the end, so that the last write carries a whole
    // one and the writes before it leave the time to make it on the dot.
    // The write belongs at due(done + result), never earlier.
    [[nodiscard]] std::size_t nextChunk(std::size_t done, TimePoint now, Duration span) const {
        const TimePoint first = due(done + 1);
        TimePoint limit = first;
        if (span > Duration::zero()) limit = end() - (end() - first) / span * span;
        limit = std::max(limit, now);
        std::size_t count = 1;
        while (done + count < size_ && due(done + count + 1) <= limit) ++count;
        return count;
    }

private:
    TimePoint start_;
    int baud_;
    std::size_t size_;
};

// A USB serial adapter between the line and the PC: it passes the bytes it
// receives on in packets, at once when `buffer` bytes have come, otherwise
// once its latency timer has run out since the first byte of the packet
// arrived. Replies shorter than the buffer therefore wait for the timer.
struct AdapterHold {
    std::size_t buffer = 62;  // the payload of one 64-byte USB packet
    Duration latency{};       // zero: no adapter, every byte passes at once
};

// The timer of an adapter whose driver was asked for low latency.
constexpr int kLowLatencyTimerMs = 1;

// When the PC has bytes [done, done + count) of a transmission, sent as one
// packet of the adapter (count at most its buffer).
inline TimePoint packetArrival(const Transmission& tx, std::size_t done, std::size_t count,
                               const AdapterHold& adapter) {
    const TimePoint last = tx.due(done + count);
    if (adapter.latency <= Duration::zero() || count >= adapter.buffer) return last;
    return std::max(last, tx.due(done + 1) + adapter.latency);
}

// The typical hand-over delay among measured `samples` (their median), no
// more than `cap`; zero without samples.
inline Duration typicalLatency(std::vector<Duration> samples, Duration cap) {
    if (samples.empty()) return Duration::zero();
    auto middle = samples.begin() + static_cast<long>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return std::clamp(*middle, Duration::zero(), cap);
}

}  // namespace pxcmcam
