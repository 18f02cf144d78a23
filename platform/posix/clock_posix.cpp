// clock_posix.cpp — the system clock: a monotonic millisecond count and
// pauses that survive signals.
#include "platform/clock.h"

#include <time.h>

#include <cerrno>
#include <chrono>

namespace plat {
namespace {

class SystemClock final : public Clock {
public:
    uint64_t nowMs() override {
        using namespace std::chrono;
        return static_cast<uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void sleepMs(unsigned ms) override {
        timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
        while (nanosleep(&left, &left) != 0 && errno == EINTR) {
        }
    }
};

}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace plat
