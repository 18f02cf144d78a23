// reply_script.h — camera replies read from a fuzz input, for the reply
// script of a fake port: each possibly short, missing, random or late (longer
// than the read, so that the rest waits for the next read).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "testsupport/fake_serial_port.h"

namespace fuzzwire {

using Bytes = std::vector<std::uint8_t>;

// Reads the input front to back; zeros once it is used up.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Big-endian, as the camera's numbers; one byte after the other.
    std::uint16_t u16() {
        const unsigned high = byte();
        return static_cast<std::uint16_t>(high << 8 | byte());
    }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return high << 16 | u16();
    }
    Bytes bytes(std::size_t n) {
        Bytes out(n);
        for (auto& b : out) b = byte();
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A size in an information reply: mostly small enough that a download runs
// to its end, sometimes anything (the limits, and beyond them).
inline std::uint32_t replySize(Input& in) {
    const std::uint8_t kind = in.byte();
    if (kind < 200) return in.u16() % 2100;
    if (kind < 240) return in.u32() % 800010;
    return in.u32();
}

inline void put32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

// The next reply of the script, shaped like one of the camera's replies or
// not at all, then possibly cut short or run together with the next one.
inline Bytes nextReply(Input& in) {
    Bytes r;
    switch (in.byte() % 8) {
        case 0:
            r = {'G', ':'};
            break;
        case 1:
            r = {'S', ':'};
            for (const auto b : in.bytes(10)) r.push_back(b);
            break;
        case 2: {
            r = {'C', ':', in.byte(), in.byte(), in.byte()};
            put32(r, replySize(in));
            r.push_back(in.byte());
            r.push_back(in.byte());
            put32(r, replySize(in));
            for (const auto b : in.bytes(7)) r.push_back(b);
            break;
        }
        case 3:
            r = {'A', ':'};
            break;
        case 4:
            r = in.bytes(32);
            break;
        case 5:
            break;  // a time-out
        case 6:
            r = in.bytes(in.byte() % 40);
            break;
        default:
            r = {in.byte(), ':'};  // a version
            break;
    }
    const std::uint8_t shape = in.byte();
    if (shape % 4 == 1 && !r.empty()) r.resize((shape / 4) % r.size());
    if (shape % 4 == 2) {  // late: runs into the read after it
        const Bytes more = nextReply(in);
        r.insert(r.end(), more.begin(), more.end());
    }
    return r;
}

}  // namespace fuzzwire
