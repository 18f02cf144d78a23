// pc_line_settings.cpp — reads the terminal through termios2; kept apart
// because the kernel's termios2 header cannot share a file with <termios.h>.
#include "tools/pxcm-camera/pc_line_settings.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace pxcmcam {

int terminalRate(int fd) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) return 0;
    return static_cast<int>(settings.c_ospeed);
}

std::string terminalFormat(int fd) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) return {};
    const unsigned flags = settings.c_cflag;
    const char bits = (flags & CSIZE) == CS5   ? '5'
                      : (flags & CSIZE) == CS6 ? '6'
                      : (flags & CSIZE) == CS7 ? '7'
                                               : '8';
    // A pty keeps PARODD but always clears PARENB (it has no wire to put a
    // parity bit on): there a set PARODD is the PC's odd parity.
    const bool odd = (flags & PARODD) != 0;
    char parity = odd ? 'O' : 'N';
    if (flags & PARENB) parity = (flags & CMSPAR) ? (odd ? 'M' : 'S') : (odd ? 'O' : 'E');
    return {bits, parity, (flags & CSTOPB) ? '2' : '1'};
}

}  // namespace pxcmcam
