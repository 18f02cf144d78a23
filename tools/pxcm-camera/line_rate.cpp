// line_rate.cpp — reads the terminal rate through termios2; kept apart
// because the kernel's termios2 header cannot share a file with <termios.h>.
#include "tools/pxcm-camera/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace pxcmcam {

int terminalRate(int fd) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) return 0;
    return static_cast<int>(settings.c_ospeed);
}

}  // namespace pxcmcam
