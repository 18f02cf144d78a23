// clock_win32.cpp — the system clock: the tick count and Sleep.
#include "platform/clock.h"

#include <windows.h>

namespace plat {
namespace {

class SystemClock final : public Clock {
public:
    uint64_t nowMs() override { return GetTickCount64(); }
    void sleepMs(unsigned ms) override { Sleep(ms); }
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace plat
