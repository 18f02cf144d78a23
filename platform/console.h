// console.h — whether the program talks to a person at a terminal.
#pragma once

namespace plat {

// True when standard error is a terminal (progress bars only make sense there).
bool stderrIsTerminal();

}  // namespace plat
