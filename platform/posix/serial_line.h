// serial_line.h — the line format of an open POSIX serial device, read and
// written with exact rates (56000 included) where the system allows it. Kept
// apart because the kernel's termios2 header clashes with <termios.h>.
#pragma once

#include "platform/serial_port.h"

namespace plat::posix {

bool readLineSettings(int fd, LineSettings& out);
// Changes rate, data bits, parity and stop bits; keeps every other flag.
bool writeLineSettings(int fd, const LineSettings& settings);

// Sets the driver's low-latency flag (ASYNC_LOW_LATENCY) where the driver
// offers it; false, changing nothing, where it does not (a pty, a pipe).
bool requestLowLatency(int fd);

}  // namespace plat::posix
