// fuzz_camera.h — a camera that answers the serial protocol inside the fuzz
// process, at the far end of a fake port: the PC's writes drive it, its
// replies wait in a queue for the PC's reads, and a fault source may cut,
// garble or swallow any reply.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "testsupport/fake_serial_port.h"

namespace fuzzcam {

using Bytes = std::vector<std::uint8_t>;

struct Picture {
    Bytes jpeg;
    Bytes thumb;
    // Sizes told in the information reply; data past the real bytes is never
    // answered, so a size that lies makes a block fail.
    std::uint32_t pictureSize = 0;
    std::uint32_t thumbSize = 0;
};

class Camera : public testsupport::FarEnd {
public:
    // Asked once per read when faults are on: a byte below `faultRate` picks
    // a fault for that read.
    std::function<std::uint8_t()> faultByte;
    int faultRate = 0;

    std::vector<Picture> pictures;
    int firmware = 40;
    std::uint8_t modes = 0;
    int freeFrames = 20;
    std::uint8_t battery = 1;

    void reset() {
        out_.clear();
        phase_ = Phase::Idle;
        request_.clear();
        pending_.clear();
    }

    void fromPc(const std::uint8_t* data, std::uint32_t count) override {
        for (std::uint32_t i = 0; i < count; ++i) onByte(data[i]);
    }

    std::uint32_t toPc(std::uint8_t* data, std::uint32_t count) override {
        // A lone 0x00 in the data phase is the next handshake.
        if (phase_ == Phase::Addressed && pending_.size() == 1 && pending_[0] == 0x00) {
            pending_.clear();
            phase_ = Phase::Idle;
            onByte(0x00);
        }
        std::size_t available = out_.size();
        if (faultRate > 0 && faultByte) {
            const std::uint8_t f = faultByte();
            if (f < faultRate) {
                switch (f % 4) {
                    case 0:  // silence for this read
                        return 0;
                    case 1:  // a short reply
                        available /= 2;
                        break;
                    case 2:  // a garbled byte
                        if (!out_.empty()) out_[f % out_.size()] ^= 0xA5;
                        break;
                    default:  // the reply is lost on the line
                        out_.clear();
                        return 0;
                }
            }
        }
        const std::uint32_t got =
            static_cast<std::uint32_t>(std::min<std::size_t>(count, available));
        for (std::uint32_t i = 0; i < got; ++i) {
            data[i] = out_.front();
            out_.pop_front();
        }
        return got;
    }

    void purged() override {
        out_.clear();
        if (phase_ == Phase::AwaitPurge) {
            send({'A', ':'});
            phase_ = firmware >= 40 ? Phase::Addressed : Phase::Stepped;
            position_ = 0;
        }
    }

private:
    enum class Phase { Idle, Awake, Request, AwaitPurge, Stepped, Addressed };

    void send(const Bytes& b) { out_.insert(out_.end(), b.begin(), b.end()); }

    void onByte(std::uint8_t b) {
        switch (phase_) {
            case Phase::Idle:
                if (b == 0x00) handshake();
                return;
            case Phase::Awake:
                if (b == 0x00) {
                    handshake();
                    return;
                }
                request_ = {b};
                phase_ = Phase::Request;
                return;
            case Phase::Request:
                request_.push_back(b);
                if (request_.size() >= requestLength(request_[0])) answer();
                return;
            case Phase::AwaitPurge:
                if (b == 0x00) handshake();
                return;
            case Phase::Stepped:
                if (b == 0x00) {
                    handshake();
                } else if (b == 'O') {
                    sendData(position_);
                    ++position_;
                    if (static_cast<std::size_t>(position_) * 32 >= data_.size()) {
                        phase_ = Phase::Idle;
                    }
                }
                return;
            case Phase::Addressed:
                pending_.push_back(b);
                if (pending_.size() < 2) return;
                if (pending_[0] == 0xFF && pending_[1] == 0xFF) {
                    phase_ = Phase::Idle;
                } else {
                    sendData(pending_[0] * 256 + pending_[1]);
                }
                pending_.clear();
                return;
        }
    }

    void handshake() {
        send({'G', ':'});
        phase_ = Phase::Awake;
        pending_.clear();
    }

    static std::size_t requestLength(std::uint8_t letter) {
        switch (letter) {
            case 'Q':
            case 'T':
            case 'L':
            case 'I':
                return 4;
            case 'M':
                return 7;
            case 'F':
            case 'H':
                return 6;
            default:
                return 2;
        }
    }

    void answer() {
        phase_ = Phase::Idle;
        const std::uint8_t letter = request_[0];
        const int count = static_cast<int>(pictures.size());
        switch (letter) {
            case 'P':
            case 'M':
                status();
                return;
            case 'Q':
            case 'T': {
                const std::uint8_t bits = letter == 'Q' ? 0x22 : 0x11;
                modes = request_[2] ? (modes | bits) : (modes & ~bits);
                status();
                return;
            }
            case 'S':
                if (freeFrames > 0 && count < 255 && !pictures.empty()) {
                    pictures.push_back(pictures.front());
                    --freeFrames;
                }
                status();
                return;
            case 'L':
                if (request_[2] >= 1 && request_[2] <= count) {
                    pictures.erase(pictures.begin() + (request_[2] - 1));
                    ++freeFrames;
                }
                status();
                return;
            case 'I':
                send(info(request_[2]));
                return;
            case 'y':
                send({static_cast<std::uint8_t>(firmware), ':'});
                return;
            case 'F':
            case 'H': {
                const int n = request_[2];
                if (n < 1 || n > count) return;
                const Picture& p = pictures[n - 1];
                data_ = letter == 'F' ? p.jpeg : p.thumb;
                data_.resize(std::min<std::size_t>(data_.size(),
                                                   letter == 'F' ? p.pictureSize : p.thumbSize));
                send({'A', ':'});
                send(info(n));
                phase_ = Phase::AwaitPurge;
                return;
            }
            default:
                return;
        }
    }

    void status() {
        send({'S', ':', static_cast<std::uint8_t>(pictures.size()),
              static_cast<std::uint8_t>(freeFrames), modes, 0xCE, 5, 17, 9, 41, battery, 0});
    }

    Bytes info(int n) const {
        Bytes r{'C', ':', static_cast<std::uint8_t>(n)};
        Picture none;
        const Picture& p =
            n >= 1 && n <= static_cast<int>(pictures.size()) ? pictures[n - 1] : none;
        auto be32 = [&r](std::uint32_t v) {
            for (int s = 24; s >= 0; s -= 8) r.push_back(static_cast<std::uint8_t>(v >> s));
        };
        r.push_back(0x01);
        r.push_back(0x40);
        be32(p.thumbSize);
        r.push_back(0x00);
        r.push_back(0xF0);
        be32(p.pictureSize);
        for (std::uint8_t b : {0xCF, 3, 5, 14, 7, 0, 0}) r.push_back(b);
        return r;
    }

    void sendData(long block) {
        const std::size_t from = static_cast<std::size_t>(block) * 32;
        if (block < 0 || from >= data_.size()) return;
        const std::size_t to = std::min(from + 32, data_.size());
        out_.insert(out_.end(), data_.begin() + from, data_.begin() + to);
    }

    std::deque<std::uint8_t> out_;
    Phase phase_ = Phase::Idle;
    Bytes request_;
    Bytes pending_;
    Bytes data_;
    long position_ = 0;
};

}  // namespace fuzzcam
