// interrupt_win32.cpp — the console's control events noted by a handler,
// which runs on a thread of its own, and in an event named for the process
// so that the modules the program loads see the interrupt too.
#include "platform/win32/interrupt_win32.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <string>

#include "platform/interrupt.h"

namespace plat {
namespace {

std::atomic<int> g_signal{0};

std::wstring eventName() {
    return L"pxcm-interrupt-" + std::to_wstring(GetCurrentProcessId());
}

struct EventHandle {
    HANDLE handle;
    explicit EventHandle(HANDLE h = nullptr) : handle(h) {}
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    ~EventHandle() {
        if (handle) CloseHandle(handle);
    }
};
// The program's event, made by its catchInterrupts.
EventHandle g_event;

// The program's event as this module sees it, opened when the module is
// loaded: the program makes it before it loads the modules that look, as on
// POSIX, where the descriptor is taken once. (Not a function's static: its
// guard would cost the source a semaphore at every load.)
const EventHandle g_programEvent(OpenEventW(SYNCHRONIZE, FALSE, eventName().c_str()));

BOOL WINAPI note(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    // The first is noted; a second one takes the default way out.
    if (!g_signal.compare_exchange_strong(none, signal)) return FALSE;
    if (g_event.handle) SetEvent(g_event.handle);
    return TRUE;
}

}  // namespace

void catchInterrupts() {
    if (!g_event.handle) g_event.handle = CreateEventW(nullptr, TRUE, FALSE, eventName().c_str());
    SetConsoleCtrlHandler(note, TRUE);
}

int interruptSignal() {
    return g_signal.load();
}

// A console handler runs on a thread of its own; a loaded module has no
// descriptor to wait on, and looks at hostInterrupted() instead.
int hostInterruptDescriptor() {
    return -1;
}

bool hostInterrupted() {
    if (g_signal.load()) return true;
    const HANDLE event = g_programEvent.handle;
    return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

}  // namespace plat
