// cancel_signal_posix.cpp — the cancel as a pipe holding a byte while it is
// raised: writing the byte is safe in a signal handler, and poll() sees it.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/cancel_signal.h"
#include "platform/interrupt.h"

namespace plat {
namespace {

bool readable(int fd) {
    if (fd < 0) return false;
    pollfd p{fd, POLLIN, 0};
    int r;
    do {
        r = poll(&p, 1, 0);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN);
}

}  // namespace

CancelSignal::CancelSignal() : host_(hostInterruptDescriptor()) {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        read_ = fds[0];
        write_ = fds[1];
    }
}

CancelSignal::~CancelSignal() {
    if (read_ >= 0) close(read_);
    if (write_ >= 0) close(write_);
}

void CancelSignal::raise() {
    raised_.store(true);
    if (write_ < 0) return;
    const char byte = 1;
    // A full pipe is raised already.
    ssize_t r;
    do {
        r = ::write(write_, &byte, 1);
    } while (r < 0 && errno == EINTR);
}

void CancelSignal::clear() {
    char bytes[64];
    if (read_ >= 0)
        while (::read(read_, bytes, sizeof bytes) > 0) {
        }
    raised_.store(false);
}

bool CancelSignal::raised() const {
    return (read_ >= 0 ? readable(read_) : raised_.load()) || readable(host_);
}

}  // namespace plat
