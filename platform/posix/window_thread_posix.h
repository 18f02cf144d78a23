// window_thread_posix.h — the window's thread and the source lock on POSIX,
// as the window host uses them: calls carried over to the thread, the work
// the thread does on its own, and the lock let go around a notification.
#pragma once

#include <functional>

namespace plat {

// What the window host does on its thread. `poll` runs without the source
// lock (SDL events taken, exposed windows shown, input queued) and answers
// whether a message waits, and whether it came with this poll; `handle` runs under the lock and
// handles one, answering false when none could be handled yet. `waitMs` is how long the thread
// sleeps between polls when nothing happens (-1: until woken).
enum class WorkPolled { None, Waiting, Arrived };
struct WindowThreadWork {
    WorkPolled (*poll)() = nullptr;
    bool (*handle)() = nullptr;
    int waitMs = -1;
};
void setWindowThreadWork(const WindowThreadWork& work);

// True on the window's thread, or when it is not running (everything is
// then done where it is asked for).
bool onWindowThread();

// Runs `job` on the window's thread and waits for it; at once when already
// there or when the thread is not running. A caller that holds the source
// lock lends it to the job. Exceptions come back to the caller.
void runOnWindowThread(const std::function<void()>& job);

// The window thread looks again at its work (a caller that is not on it
// changed something it shows).
void wakeWindowThread();

// Lets the source lock go for its lifetime, when the caller holds it; the
// lock is taken back at the end (on the window's thread, serving the calls
// carried over to it meanwhile).
class SourceLockGap {
public:
    SourceLockGap();
    ~SourceLockGap();
    SourceLockGap(const SourceLockGap&) = delete;
    SourceLockGap& operator=(const SourceLockGap&) = delete;

private:
    int depth_;
};

// The module goes: the thread is stopped and joined unless this is it.
void shutDownWindowThread();

}  // namespace plat
