// interrupt_posix.cpp — SIGINT and SIGTERM noted by a handler that then
// gives the signal back its default action, and a pipe that the handler
// fills so that modules loaded into the program (the data source) can wait
// on the interrupt too.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/export.h"
#include "platform/interrupt.h"

namespace {

volatile sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};

void note(int signal) {
    if (g_signal == 0) g_signal = signal;
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        (void)!::write(g_pipe[1], &byte, 1);
    }
}

}  // namespace

// Found by the modules that the program loads: each has its own copy of
// this layer, and only the program's knows of the signal.
extern "C" PXCM_EXPORT int pxcm_interrupt_descriptor() {
    return g_pipe[0];
}

namespace plat {

void catchInterrupts() {
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    // Calls under way go on (the serial port's waits retry on EINTR and end
    // on the pipe); the second signal finds the default action again.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptSignal() {
    return g_signal;
}

int hostInterruptDescriptor() {
    using Lookup = int (*)();
    const auto program =
        reinterpret_cast<Lookup>(::dlsym(RTLD_DEFAULT, "pxcm_interrupt_descriptor"));
    return program ? program() : g_pipe[0];
}

}  // namespace plat
