// fake_clock.cpp — the fake clock's three kinds of pause.
#include "testsupport/fake_clock.h"

#include <chrono>
#include <string>

namespace testsupport {

std::uint64_t FakeClock::nowMs() {
    return pauses_ == Pauses::Advance ? now_ : plat::systemClock().nowMs();
}

void FakeClock::sleepMs(unsigned ms) {
    if (transcript_) transcript_->add("sleep " + std::to_string(ms));
    pausedMs += ms;
    switch (pauses_) {
        case Pauses::Advance:
            now_ += ms;
            return;
        case Pauses::Sleep: {
            const auto start = std::chrono::steady_clock::now();
            plat::systemClock().sleepMs(ms);
            if (meter_)
                meter_->pauseSeconds +=
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return;
        }
        case Pauses::Skip:
            return;
    }
}

}  // namespace testsupport
