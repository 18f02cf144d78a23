// cancel_signal.h — a cancel that any thread or a signal handler raises and
// that a serial port's wait sees at once, so that a read under way ends
// without running out its time-out. It also follows the host program's
// interrupt (plat::catchInterrupts in the same process, in any module).
#pragma once

#include <atomic>

namespace plat {

class CancelSignal {
public:
    CancelSignal();
    ~CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    // Safe in a signal handler and from any thread.
    void raise();
    // Lowers a raised cancel; the host program's interrupt stays.
    void clear();
    // Raised, or the host program was interrupted.
    bool raised() const;

    // POSIX: descriptors that poll readable while the cancel is raised (-1:
    // none); a port waits on them beside its line. Windows: none, and a
    // port looks at raised() between short waits.
    int descriptor() const { return read_; }
    int hostDescriptor() const { return host_; }

private:
    int read_ = -1;
    int write_ = -1;
    int host_ = -1;
    std::atomic<bool> raised_{false};
};

}  // namespace plat
