// interrupt_win32.cpp — the console's control events noted by a handler,
// which runs on a thread of its own.
#include <windows.h>

#include <atomic>
#include <csignal>

#include "platform/interrupt.h"

namespace plat {
namespace {

std::atomic<int> g_signal{0};

BOOL WINAPI note(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    // The first is noted; a second one takes the default way out.
    return g_signal.compare_exchange_strong(none, signal) ? TRUE : FALSE;
}

}  // namespace

void catchInterrupts() {
    SetConsoleCtrlHandler(note, TRUE);
}

int interruptSignal() {
    return g_signal.load();
}

// A console handler runs on a thread of its own; a loaded module has no
// descriptor to wait on.
int hostInterruptDescriptor() {
    return -1;
}

}  // namespace plat
