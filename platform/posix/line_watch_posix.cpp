// line_watch_posix.cpp — poll() on a read-only descriptor that never reads:
// the received bytes stay for the port's own reads.
#include "platform/line_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace plat {

LineWatch::LineWatch(const std::string& device)
    : fd_(::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

LineWatch::~LineWatch() {
    if (fd_ >= 0) ::close(fd_);
}

LineWatch::Wait LineWatch::waitReadable(int ms) const {
    if (fd_ < 0) return Wait::Ready;
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, ms);
    if (r < 0) return Wait::Ready;
    if (r == 0) return Wait::TimedOut;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ? Wait::HungUp : Wait::Ready;
}

unsigned LineWatch::available() const {
    int count = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &count) != 0 || count < 1) return 1;
    return static_cast<unsigned>(count);
}

}  // namespace plat
