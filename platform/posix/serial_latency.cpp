// serial_latency.cpp — asking a serial driver for low latency: USB serial
// adapters otherwise hold every answer shorter than their buffer for their
// latency timer (16 ms on the common ones), once per 32-byte block.
#include "platform/posix/serial_line.h"

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace plat::posix {

bool requestLowLatency(int fd) {
#if defined(__linux__)
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if (serial.flags & ASYNC_LOW_LATENCY) return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
#else
    (void)fd;
    return false;
#endif
}

}  // namespace plat::posix
