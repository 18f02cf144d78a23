// window_thread_posix.cpp — the camera window's own thread and the one
// source lock: application calls hold the lock; the thread serves the window
// calls carried over to it, and handles the window's own messages under the
// lock when no application call holds it.
#include "platform/posix/window_thread_posix.h"

#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/window_thread.h"

namespace plat {
namespace {

struct Job {
    const std::function<void()>* run = nullptr;
    std::thread::id from;  // the caller, when it lent the source lock
    bool lent = false;
    bool done = false;
    std::exception_ptr failure;
};

// Everything under one mutex: the lock's owner, the queue of carried calls,
// the thread's life. On the heap, so that static destructors leave it alone:
// it goes at the module's unload once no thread of ours runs, and is kept
// for good when the thread is still on its way out (the module then stays
// loaded too).
struct Shared {
    std::mutex m;
    std::condition_variable changed;
    // The source lock: its owner and how deep it holds it.
    std::thread::id owner;
    int depth = 0;
    // Releases by threads other than the window's: the window's work may
    // have become possible.
    unsigned long releases = 0;
    std::deque<Job*> jobs;
    // The window's thread is inside a carried call or a message of its own.
    int busy = 0;
    std::thread thread;
    std::thread::id threadId;
    bool running = false;
    bool stop = false;
    WindowThreadWork work;
};

Shared* g_shared = nullptr;

Shared& shared() {
    // Made at the first call into the module, before any thread of ours.
    if (!g_shared) g_shared = new Shared;
    return *g_shared;
}

// Runs the front job with the lock lent to the window's thread.
void runJob(std::unique_lock<std::mutex>& lk) {
    Shared& s = shared();
    Job* job = s.jobs.front();
    s.jobs.pop_front();
    if (job->lent) s.owner = s.threadId;
    ++s.busy;
    lk.unlock();
    try {
        (*job->run)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    lk.lock();
    --s.busy;
    // The job ends holding the lock (a gap inside it took it back).
    if (job->lent) s.owner = job->from;
    job->done = true;
    s.changed.notify_all();
}

// Takes the lock `depth` deep for the calling thread; the window's thread
// serves carried calls while it waits.
void acquire(std::unique_lock<std::mutex>& lk, int depth) {
    Shared& s = shared();
    const auto self = std::this_thread::get_id();
    if (s.depth > 0 && s.owner == self) {
        s.depth += depth;
        return;
    }
    while (s.depth > 0) {
        if (self == s.threadId && !s.jobs.empty())
            runJob(lk);
        else
            s.changed.wait(lk);
    }
    s.owner = self;
    s.depth = depth;
}

void release(std::unique_lock<std::mutex>& lk, int depth) {
    Shared& s = shared();
    s.depth -= depth;
    if (s.depth > 0) return;
    s.depth = 0;
    s.owner = std::thread::id();
    if (std::this_thread::get_id() != s.threadId) ++s.releases;
    s.changed.notify_all();
}

void threadMain() {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    bool idleSinceRelease = false;
    unsigned long releasesSeen = s.releases;
    while (true) {
        if (!s.jobs.empty()) {
            runJob(lk);
            continue;
        }
        if (s.stop) break;
        const WindowThreadWork work = s.work;
        lk.unlock();
        const WorkPolled polled = work.poll ? work.poll() : WorkPolled::None;
        lk.lock();
        if (!s.jobs.empty() || s.stop) continue;
        if (s.releases != releasesSeen || polled == WorkPolled::Arrived) idleSinceRelease = false;
        if (polled != WorkPolled::None && s.depth == 0 && !idleSinceRelease) {
            acquire(lk, 1);
            ++s.busy;
            lk.unlock();
            bool handled = false;
            try {
                handled = work.handle && work.handle();
            } catch (...) {
                // Nothing unwinds out of the window's thread.
            }
            lk.lock();
            --s.busy;
            release(lk, 1);
            // Work that cannot go on yet waits for an application call.
            idleSinceRelease = !handled;
            releasesSeen = s.releases;
            continue;
        }
        if (work.waitMs >= 0)
            s.changed.wait_for(lk, std::chrono::milliseconds(work.waitMs));
        else
            s.changed.wait(lk);
    }
    s.running = false;
    s.changed.notify_all();
}

// The module stays loaded for the rest of the process: a thread of its own
// is still on its way out when the manager unloads it from that thread.
void keepModuleLoaded() {
    Dl_info info{};
    static const char anchor = 0;
    if (::dladdr(&anchor, &info) && info.dli_fname)
        (void)::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace

void setWindowThreadWork(const WindowThreadWork& work) {
    Shared& s = shared();
    std::lock_guard<std::mutex> lk(s.m);
    s.work = work;
    s.changed.notify_all();
}

bool onWindowThread() {
    Shared& s = shared();
    std::lock_guard<std::mutex> lk(s.m);
    return !s.running || s.threadId == std::this_thread::get_id();
}

void runOnWindowThread(const std::function<void()>& run) {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    const auto self = std::this_thread::get_id();
    if (!s.running || s.threadId == self) {
        lk.unlock();
        run();
        return;
    }
    Job job;
    job.run = &run;
    job.from = self;
    job.lent = s.depth > 0 && s.owner == self;
    s.jobs.push_back(&job);
    s.changed.notify_all();
    s.changed.wait(lk, [&] { return job.done; });
    if (job.failure) std::rethrow_exception(job.failure);
}

void wakeWindowThread() {
    Shared& s = shared();
    std::lock_guard<std::mutex> lk(s.m);
    ++s.releases;
    s.changed.notify_all();
}

SourceLockGap::SourceLockGap() : depth_(0) {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    if (s.depth == 0 || s.owner != std::this_thread::get_id()) return;
    depth_ = s.depth;
    release(lk, depth_);
}

SourceLockGap::~SourceLockGap() {
    if (depth_ == 0) return;
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    acquire(lk, depth_);
}

SourceCall::SourceCall() {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    acquire(lk, 1);
}

SourceCall::~SourceCall() {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    release(lk, 1);
}

void startWindowThread() {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    // A thread told to stop that has not ended yet (it is inside a message)
    // goes on serving the new window.
    if (s.running) {
        s.stop = false;
        return;
    }
    if (s.thread.joinable()) {
        std::thread old = std::move(s.thread);
        lk.unlock();
        old.join();
        lk.lock();
    }
    s.stop = false;
    s.running = true;
    s.thread = std::thread(threadMain);
    s.threadId = s.thread.get_id();
}

void stopWindowThread() {
    Shared& s = shared();
    std::unique_lock<std::mutex> lk(s.m);
    if (!s.running) return;
    s.stop = true;
    s.changed.notify_all();
    if (s.threadId == std::this_thread::get_id()) {
        keepModuleLoaded();
        return;
    }
    // The thread ends at once unless it is inside a message (that may wait
    // for the lock the caller holds): it then ends after it, joined later.
    s.changed.wait(lk, [&] { return !s.running || s.busy > 0; });
    if (!s.running && s.thread.joinable()) {
        std::thread old = std::move(s.thread);
        lk.unlock();
        old.join();
    }
}

void shutDownWindowThread() {
    if (!g_shared) return;
    Shared& s = *g_shared;
    std::unique_lock<std::mutex> lk(s.m);
    if (s.thread.joinable()) {
        s.stop = true;
        s.changed.notify_all();
        if (s.threadId == std::this_thread::get_id()) {
            s.thread.detach();
            return;
        }
        s.changed.wait(lk, [&] { return !s.running; });
        std::thread old = std::move(s.thread);
        lk.unlock();
        old.join();
        lk.lock();
    }
    lk.unlock();
    delete g_shared;
    g_shared = nullptr;
}

}  // namespace plat
