// line_format_posix.cpp — the format through the termios calls of
// serial_line.h, on a descriptor that neither reads nor writes.
#include "platform/line_format.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/serial_line.h"

namespace plat {

LineFormat::LineFormat(const std::string& device)
    : fd_(::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

LineFormat::~LineFormat() {
    if (fd_ < 0) return;
    if (saved_) (void)apply(original_);
    ::close(fd_);
}

bool LineFormat::apply(const LineSettings& format) {
    LineSettings now;
    // A rate that cannot be read back would be written as 0, a hang-up.
    if (fd_ < 0 || !posix::readLineSettings(fd_, now) || now.baudRate == 0) return false;
    if (!saved_) {
        original_ = now;
        saved_ = true;
    }
    LineSettings wanted = format;
    wanted.baudRate = now.baudRate;
    return wanted == now || posix::writeLineSettings(fd_, wanted);
}

}  // namespace plat
