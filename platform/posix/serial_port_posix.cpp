// serial_port_posix.cpp — serial ports over termios devices: raw mode, reads
// bounded by one deadline for their whole count, exclusive opening; a raised
// cancel ends a read at once.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "platform/posix/serial_line.h"
#include "platform/serial_port.h"

namespace plat {
namespace {

int64_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

enum class Wait { Ready, Over, Cancelled };

// Waits for `events` until the deadline, or until a descriptor of `cancel`
// polls readable. Over when the deadline passed or the device hung up.
// Callers wait only when a read found no data or a write could not go, so a
// hang-up means nothing more will come: a hung-up tty reports itself
// readable and then reads nothing, and waiting on it would spin.
Wait waitFor(int fd, short events, int64_t deadline, const CancelSignal* cancel) {
    for (;;) {
        const int64_t left = deadline - monotonicMs();
        if (left <= 0) return Wait::Over;
        pollfd p[3] = {{fd, events, 0},
                       {cancel ? cancel->descriptor() : -1, POLLIN, 0},
                       {cancel ? cancel->hostDescriptor() : -1, POLLIN, 0}};
        const int r = poll(p, 3, static_cast<int>(left));
        if (r < 0) {
            if (errno == EINTR) continue;
            return Wait::Over;
        }
        if (r == 0) return Wait::Over;
        if ((p[1].revents | p[2].revents) & POLLIN) return Wait::Cancelled;
        if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return Wait::Over;
        if (p[0].revents & events) return Wait::Ready;
    }
}

class PosixSerialPort : public SerialPort {
public:
    // `saved`: the device's settings before it was opened, put back at the
    // close; null when they could not be read.
    PosixSerialPort(int fd, bool hardwareFlow, const termios* saved)
        : fd_(fd), hardwareFlow_(hardwareFlow), restore_(saved != nullptr) {
        if (saved) saved_ = *saved;
    }
    ~PosixSerialPort() override {
        if (restore_) (void)tcsetattr(fd_, TCSANOW, &saved_);
        // A pty keeps its exclusive mode while the other side lives: give it up
        // so that the next open (not only root's) succeeds.
        ioctl(fd_, TIOCNXCL);
        flock(fd_, LOCK_UN);
        close(fd_);
    }

    uint32_t write(const uint8_t* data, uint32_t count) override {
        const int64_t deadline = monotonicMs() + writeMs_;
        uint32_t sent = 0;
        while (sent < count) {
            const ssize_t r = ::write(fd_, data + sent, count - sent);
            if (r > 0) {
                sent += static_cast<uint32_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && errno != EAGAIN) break;
            if (waitFor(fd_, POLLOUT, deadline, nullptr) != Wait::Ready) break;
        }
        drain(deadline);
        return sent;
    }

    uint32_t read(uint8_t* data, uint32_t count) override {
        const int64_t deadline = monotonicMs() + readMs_;
        uint32_t got = 0;
        // A reply follows a request and is seldom there yet: wait first
        // rather than read nothing first (an empty read of a pty waits for
        // the bytes in flight anyway). The read comes even when the wait
        // fails, so that bytes already there are never left behind.
        if (count > 0 && waitFor(fd_, POLLIN, deadline, cancel_) == Wait::Cancelled) return 0;
        while (got < count) {
            const ssize_t r = ::read(fd_, data + got, count - got);
            if (r > 0) {
                got += static_cast<uint32_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            // EIO and friends: the device went away; nothing more will come.
            if (r < 0 && errno != EAGAIN) break;
            if (waitFor(fd_, POLLIN, deadline, cancel_) != Wait::Ready) break;
        }
        return got;
    }

    bool getLineSettings(LineSettings& out) override { return posix::readLineSettings(fd_, out); }
    bool setLineSettings(const LineSettings& s) override {
        return posix::writeLineSettings(fd_, s);
    }
    // The tty layer sizes its own queues.
    bool setQueueSizes(uint32_t, uint32_t) override { return true; }
    bool setTimeouts(uint32_t readMs, uint32_t writeMs) override {
        readMs_ = readMs;
        writeMs_ = writeMs;
        return true;
    }
    // Writes drain before they return, so output is pending only when the
    // line held it back; flushing output otherwise would, on a pty, destroy
    // bytes that the other side simply has not read yet. Without flow
    // control nothing is ever held back: no need to ask (a purge goes
    // before every block request).
    bool purge() override {
        bool ok = tcflush(fd_, TCIFLUSH) == 0;
        if (hardwareFlow_ && outputQueued() > 0) ok = tcflush(fd_, TCOFLUSH) == 0 && ok;
        return ok;
    }
    void watchCancel(const CancelSignal* cancel) override { cancel_ = cancel; }

private:
    int outputQueued() const {
        int queued = 0;
        return ioctl(fd_, TIOCOUTQ, &queued) == 0 ? queued : 0;
    }

    // As a synchronous write on Windows: the bytes are on the line when the
    // call returns, so that a speed switch after it cannot garble them. A line
    // without flow control always drains; one with it may be held back, so
    // the wait then ends with the write time-out.
    void drain(int64_t deadline) {
        if (!hardwareFlow_) {
            tcdrain(fd_);
            return;
        }
        while (outputQueued() > 0 && monotonicMs() < deadline) usleep(500);
    }

    int fd_;
    bool hardwareFlow_;
    bool restore_;
    termios saved_{};
    uint32_t readMs_ = 0;
    uint32_t writeMs_ = 0;
    const CancelSignal* cancel_ = nullptr;
};

// Raw bytes both ways, no echo, no line discipline, reads that never wait by
// themselves (the deadline is ours). Returns whether the port keeps hardware
// flow control, which the link leaves as the port had it.
bool makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    (void)tcsetattr(fd, TCSANOW, &t);
    return (t.c_cflag & CRTSCTS) != 0;
}

std::unique_ptr<SerialPort> openDevice(const std::string& path, bool* busy) {
    if (busy) *busy = false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A tty in exclusive mode refuses everyone else with EBUSY.
        if (busy) *busy = errno == EBUSY;
        return nullptr;
    }
    if (!isatty(fd)) {
        close(fd);
        return nullptr;
    }
    // Not shared, as on Windows: flock also keeps out root, whom the tty's
    // exclusive mode lets through.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (busy) *busy = errno == EWOULDBLOCK;
        close(fd);
        return nullptr;
    }
    (void)ioctl(fd, TIOCEXCL);
    termios saved{};
    const bool haveSaved = tcgetattr(fd, &saved) == 0;
    const bool hardwareFlow = makeRaw(fd);
    // Each 32-byte block is an answer shorter than a USB adapter's buffer:
    // without this it waits for the adapter's latency timer. Ports that have
    // no such flag (a pty, a built-in UART) refuse, and that is fine.
    (void)posix::requestLowLatency(fd);
    return std::make_unique<PosixSerialPort>(fd, hardwareFlow, haveSaved ? &saved : nullptr);
}

}  // namespace

std::unique_ptr<SerialPort> openSerialDevice(const std::string& device, bool* busy) {
    return openDevice(device, busy);
}

}  // namespace plat
