// semaphore.h — a counting semaphore that one thread posts (a Source
// Manager's callback) and another waits on with a time-out.
#pragma once

namespace plat {

class Semaphore {
public:
    Semaphore();
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    void post();
    // Takes one count; false when none came within `ms` milliseconds.
    bool wait(int ms);

private:
    void* impl_;
};

}  // namespace plat
