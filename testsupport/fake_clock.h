// fake_clock.h — the clock of tests, fuzz targets and benchmarks.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "testsupport/fake_serial_port.h"

namespace testsupport {

class FakeClock : public plat::Clock {
public:
    enum class Pauses {
        Advance,  // time is the clock's own and moves only when the link pauses
        Sleep,    // the system's time and pauses, each pause measured
        Skip,     // the system's time; pauses cost nothing
    };
    // Pauses go into the transcript ("sleep 300") when one is given; measured
    // pauses into the meter.
    explicit FakeClock(Transcript* transcript = nullptr) : transcript_(transcript) {}
    FakeClock(Pauses pauses, WireMeter* meter = nullptr) : pauses_(pauses), meter_(meter) {}

    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;

    // The pauses asked for so far, in milliseconds.
    std::uint64_t pausedMs = 0;

private:
    Pauses pauses_ = Pauses::Advance;
    Transcript* transcript_ = nullptr;
    WireMeter* meter_ = nullptr;
    std::uint64_t now_ = 0;
};

}  // namespace testsupport
