// pty_line.cpp — pty setup, raw mode, reads and writes on the master, and the
// pacing of bytes by absolute deadlines so that rounding never accumulates.
#include "tools/pxcm-camera/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tools/pxcm-camera/line_rate.h"
#include "tools/pxcm-camera/log.h"

namespace pxcmcam {

namespace {

constexpr auto kSlice = std::chrono::milliseconds(50);  // how often waits look at the stop flag
constexpr auto kWriteWait = std::chrono::milliseconds(1000);
constexpr int kBitsPerByte = 12;  // start, 8 data, parity, 2 stop

int pollFor(int fd, short events, std::chrono::milliseconds wait) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, static_cast<int>(wait.count()));
    if (r <= 0) return r;
    return p.revents;
}

}  // namespace

PtyLine::PtyLine(const volatile std::sig_atomic_t* stop, bool timing) : stop_(stop), timing_(timing) {}

PtyLine::~PtyLine() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyLine::open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    // Both ends share one set of line settings: raw, 9600 baud to start with,
    // as the camera is after power-on.
    termios settings{};
    if (::tcgetattr(master_, &settings) == 0) {
        ::cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(master_, TCSANOW, &settings);
    }
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

bool PtyLine::stopping() const { return *stop_ != 0; }

void PtyLine::setRate(int baud) {
    if (baud != rate_) logf("camera rate %d baud", baud);
    rate_ = baud;
}

int PtyLine::pcRate() const { return terminalRate(slave_); }

PtyLine::Clock::duration PtyLine::byteTime() const {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(
        static_cast<long long>(kBitsPerByte) * 1000000000LL / std::max(rate_, 1)));
}

bool PtyLine::sleepUntil(Clock::time_point deadline) const {
    for (;;) {
        if (stopping()) return false;
        auto now = Clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kSlice));
    }
}

void PtyLine::pause(Millis duration) { (void)sleepUntil(Clock::now() + duration); }

void PtyLine::fill(Clock::duration wait) {
    auto slice = std::chrono::duration_cast<std::chrono::milliseconds>(std::min<Clock::duration>(wait, kSlice));
    int events = pollFor(master_, POLLIN, std::max(slice, std::chrono::milliseconds(1)));
    if (events <= 0) return;
    std::uint8_t buffer[256];
    ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) {
        auto now = Clock::now();
        for (ssize_t i = 0; i < n; ++i) pending_.emplace_back(buffer[i], now);
        return;
    }
    // EIO (or a hang-up) only while no one holds the slave; wait it out.
    if (n == 0 || (errno != EAGAIN && errno != EINTR))
        std::this_thread::sleep_for(kSlice);
}

std::optional<std::uint8_t> PtyLine::receive(Millis wait) {
    const auto deadline = Clock::now() + wait;
    while (pending_.empty()) {
        if (stopping()) return std::nullopt;
        auto now = Clock::now();
        if (now >= deadline) return std::nullopt;
        fill(deadline - now);
    }
    auto [byte, arrival] = pending_.front();
    pending_.pop_front();
    if (timing_) {
        // The byte is whole only 12 bit times after the one before it.
        rxClock_ = std::max(rxClock_, arrival) + byteTime();
        if (!sleepUntil(rxClock_)) return std::nullopt;
    }
    return byte;
}

void PtyLine::send(const std::uint8_t* data, std::size_t size) {
    if (!timing_) {
        writeAll(data, size);
        return;
    }
    const auto step = byteTime();
    const auto start = std::max(Clock::now(), txClock_);
    std::size_t done = 0;
    while (done < size) {
        // Each byte leaves when its last bit would have crossed the wire.
        if (!sleepUntil(start + step * static_cast<long>(done + 1))) return;
        auto now = Clock::now();
        std::size_t due = done + 1;
        while (due < size && start + step * static_cast<long>(due + 1) <= now) ++due;
        writeAll(data + done, due - done);
        done = due;
    }
    txClock_ = start + step * static_cast<long>(size);
}

void PtyLine::writeAll(const std::uint8_t* data, std::size_t size) {
    bool flushed = false;
    while (size > 0) {
        ssize_t n = ::write(master_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && pollFor(master_, POLLOUT, kWriteWait) > 0) continue;
        if (!flushed) {
            // Nobody has read the PC's input for a long time (the port is
            // closed): those bytes are stale, make room for the answer.
            ::tcflush(slave_, TCIFLUSH);
            flushed = true;
            continue;
        }
        logf("dropped %zu bytes: the line does not take them", size);
        return;
    }
}

}  // namespace pxcmcam
