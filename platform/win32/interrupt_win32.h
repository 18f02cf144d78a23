// interrupt_win32.h — the program's interrupt as seen from any module of the
// process: the data source has its own copy of this layer, and only the
// program's copy has the console handler.
#pragma once

namespace plat {

// True once the program noted its interrupt (its catchInterrupts, in this
// module or another of the process).
bool hostInterrupted();

}  // namespace plat
