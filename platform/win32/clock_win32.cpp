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

// At namespace scope, made when the module loads: a function's static would
// take a lock that libstdc++ makes once per load of the module and never
// frees, a kernel semaphore lost at every unload.
SystemClock g_systemClock;

}  // namespace

Clock& systemClock() {
    return g_systemClock;
}

}  // namespace plat
