// console_posix.cpp — terminal check through isatty.
#include "platform/console.h"

#include <unistd.h>

namespace plat {

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace plat
