// clock_win32.cpp — the system clock: the performance counter in
// milliseconds and Sleep. The tick count moves in steps of 10 to 16 ms (and
// less evenly under wine), too coarse for the camera's time-outs.
#include "platform/clock.h"

#include <windows.h>

namespace plat {
namespace {

class SystemClock final : public Clock {
public:
    SystemClock() {
        LARGE_INTEGER f;
        frequency_ = QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
    }
    uint64_t nowMs() override {
        LARGE_INTEGER c;
        if (!frequency_ || !QueryPerformanceCounter(&c)) return GetTickCount64();
        const uint64_t count = static_cast<uint64_t>(c.QuadPart);
        const uint64_t freq = static_cast<uint64_t>(frequency_);
        return count / freq * 1000u + count % freq * 1000u / freq;
    }
    void sleepMs(unsigned ms) override { Sleep(ms); }

private:
    LONGLONG frequency_ = 0;
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace plat
