// semaphore_posix.cpp — the semaphore as a mutex, a condition variable and
// a count.
#include "platform/semaphore.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace plat {
namespace {

struct State {
    std::mutex mutex;
    std::condition_variable posted;
    unsigned count = 0;
};

State& state(void* impl) {
    return *static_cast<State*>(impl);
}

}  // namespace

Semaphore::Semaphore() : impl_(new State) {}

Semaphore::~Semaphore() {
    delete static_cast<State*>(impl_);
}

void Semaphore::post() {
    State& s = state(impl_);
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        ++s.count;
    }
    s.posted.notify_one();
}

bool Semaphore::wait(int ms) {
    State& s = state(impl_);
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!s.posted.wait_for(lock, std::chrono::milliseconds(ms), [&] { return s.count > 0; }))
        return false;
    --s.count;
    return true;
}

}  // namespace plat
