// interrupt.h — Ctrl-C and requests to terminate noted for a program that
// stops cleanly on its own, instead of ending it on the spot.
#pragma once

namespace plat {

// From now on the first SIGINT or SIGTERM (on Windows: Ctrl-C, Ctrl-Break
// or the console closing) is only noted; a second one ends the program as
// it would have without this.
void catchInterrupts();
// The signal noted (SIGINT or SIGTERM), else 0.
int interruptSignal();
// POSIX: a descriptor that polls readable once the program that
// catchInterrupts ran in (this module's or the host program's) noted its
// signal, so that a wait in a loaded module ends with it; -1 when the
// program catches none (and on Windows).
int hostInterruptDescriptor();

}  // namespace plat
