// console_win32.cpp — terminal check through the C runtime.
#include <io.h>
#include <stdio.h>

#include "platform/console.h"

namespace plat {

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace plat
