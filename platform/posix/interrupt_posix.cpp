// interrupt_posix.cpp — SIGINT and SIGTERM noted by a handler that then
// gives the signal back its default action.
#include <signal.h>

#include "platform/interrupt.h"

namespace plat {
namespace {

volatile sig_atomic_t g_signal = 0;

void note(int signal) {
    if (g_signal == 0) g_signal = signal;
}

}  // namespace

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    // Calls under way go on (the serial port's waits retry on EINTR); the
    // second signal finds the default action again.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptSignal() {
    return g_signal;
}

}  // namespace plat
