// cancel_signal_win32.cpp — the cancel as a flag: the port's reads wait in
// short slices and look at it, and at the program's interrupt, between them.
#include "platform/cancel_signal.h"

#include "platform/win32/interrupt_win32.h"

namespace plat {

CancelSignal::CancelSignal() = default;
CancelSignal::~CancelSignal() = default;

void CancelSignal::raise() {
    raised_.store(true);
}

void CancelSignal::clear() {
    raised_.store(false);
}

bool CancelSignal::raised() const {
    return raised_.load() || hostInterrupted();
}

}  // namespace plat
