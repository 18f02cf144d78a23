// clock.h — time and pauses, injectable so that protocol code can be tested
// without sleeping.
#pragma once

#include <cstdint>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t nowMs() = 0;
    virtual void sleepMs(unsigned ms) = 0;
};

Clock& systemClock();

}  // namespace plat
