// pty_line.cpp — pty setup in packet mode, raw reads and writes on the master,
// and the pacing of bytes against the line's clock so that no wake-up delay
// or rounding accumulates over a transfer.
#include "tools/pxcm-camera/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "tools/pxcm-camera/log.h"
#include "tools/pxcm-camera/pc_line_settings.h"

namespace pxcmcam {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr Duration kSlice = milliseconds(50);  // how often waits look at the stop flag
// The last write of a reply is what the PC waits for: its wait ends in a
// spin, since a timer here may fire well over 100 us late on an idle machine.
constexpr Duration kLastWriteSpin = microseconds(200);
// Bytes due this close together go in one write, as a serial port's receive
// FIFO passes them on: none early, and few wake-ups for the PC, but not so few
// that it dozes off between them: after a quiet millisecond, a wake-up on a
// virtual machine takes some 30 us longer.
constexpr Duration kChunk = microseconds(500);
constexpr auto kWriteWait = milliseconds(1000);
constexpr int kHandOverSamples = 15;
// A busier moment than that is not what the line normally sees.
constexpr Duration kHandOverCap = microseconds(100);

// Waits up to `wait` for `events`; the returned events, 0 on time-out.
int pollFor(int fd, short events, Duration wait) {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(wait, Duration::zero()));
    const timespec limit{static_cast<time_t>(ns.count() / 1000000000),
                         static_cast<long>(ns.count() % 1000000000)};
    pollfd p{fd, events, 0};
    const int r = ::ppoll(&p, 1, &limit, nullptr);
    return r > 0 ? p.revents : 0;
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

PtyLine::PtyLine(const volatile std::sig_atomic_t* stop, bool timing, AdapterHold adapter)
    : stop_(stop), timing_(timing), adapter_(adapter) {}

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
    // Packet mode tells the camera when the PC purges its input, which is
    // when the PC is ready for the first bytes at a new rate.
    int on = 1;
    if (::ioctl(master_, TIOCPKT, &on) != 0) {
        error = std::string("cannot watch the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    setNonBlocking(master_);
    if (timing_) {
        // Timers may otherwise fire up to 50 us late, more than a third of a
        // byte at 115200 baud.
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        handOver_ = measureHandOver();
        logf("bytes from the PC reach the camera about %ld us after they are written",
             static_cast<long>(std::chrono::duration_cast<microseconds>(handOver_).count()));
    }
    now_ = LineClock::now();
    return true;
}

Duration PtyLine::measureHandOver() {
    // A child plays the PC of a block transfer: it waits for a byte from the
    // camera's end and answers at once with the time of its answer, while
    // the camera's end waits in its poll as it will between blocks.
    const pid_t child = ::fork();
    if (child < 0) return Duration::zero();
    if (child == 0) {
        for (int i = 0; i < kHandOverSamples; ++i) {
            if (!(pollFor(slave_, POLLIN, milliseconds(500)) & POLLIN)) break;
            std::uint8_t request[16];
            if (::read(slave_, request, sizeof request) <= 0) break;
            const TimePoint::rep writtenAt = LineClock::now().time_since_epoch().count();
            if (::write(slave_, &writtenAt, sizeof writtenAt) !=
                static_cast<ssize_t>(sizeof writtenAt))
                break;
        }
        ::_exit(0);
    }
    std::vector<Duration> samples;
    for (int i = 0; i < kHandOverSamples; ++i) {
        const std::uint8_t request = 0x55;
        if (::write(master_, &request, 1) != 1) break;
        if (!(pollFor(master_, POLLIN, milliseconds(200)) & POLLIN)) break;
        const TimePoint seen = LineClock::now();
        std::uint8_t packet[1 + 4 * sizeof(TimePoint::rep)];
        const ssize_t n = ::read(master_, packet, sizeof packet);
        // Anything but one whole time stamp came in pieces.
        TimePoint::rep writtenAt = 0;
        if (n != static_cast<ssize_t>(1 + sizeof writtenAt) || packet[0] != TIOCPKT_DATA) continue;
        std::memcpy(&writtenAt, packet + 1, sizeof writtenAt);
        samples.push_back(seen - TimePoint(Duration(writtenAt)));
    }
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // Nothing of the measurement is left for the PC or the camera.
    ::tcflush(slave_, TCIFLUSH);
    (void)takeInput();
    pending_.clear();
    purges_ = purgesAtSend_ = 0;
    return typicalLatency(std::move(samples), kHandOverCap);
}

bool PtyLine::stopping() const {
    return *stop_ != 0;
}

void PtyLine::setRate(int baud) {
    if (baud != rate_) logf("camera rate %d baud", baud);
    rate_ = baud;
}

int PtyLine::pcRate() const {
    return terminalRate(slave_);
}

std::string PtyLine::pcFormat() const {
    return terminalFormat(slave_);
}

bool PtyLine::reached(Until until) const {
    switch (until) {
        case Until::Input:
            return !pending_.empty();
        case Until::Purge:
            return purges_ != purgesAtSend_;
        case Until::Deadline:
            break;
    }
    return false;
}

bool PtyLine::waitUntil(TimePoint deadline, Until until, Duration spin) {
    for (;;) {
        if (stopping()) return false;
        if (reached(until)) return true;
        const TimePoint now = LineClock::now();
        if (now >= deadline) {
            // A last look, so that even a wait of zero sees what is there.
            if (until != Until::Deadline) (void)takeInput();
            return true;
        }
        const Duration left = deadline - now;
        if (left <= spin) {
            while (LineClock::now() < deadline) {
            }
            continue;
        }
        const int events = pollFor(master_, POLLIN | POLLPRI, std::min(left - spin, kSlice));
        if (events != 0 && !takeInput())
            std::this_thread::sleep_for(std::min(left, kSlice));  // a hang-up: wait it out
    }
}

bool PtyLine::takeInput() {
    for (;;) {
        std::uint8_t packet[512];
        const ssize_t n = ::read(master_, packet, sizeof packet);
        if (n > 0) {
            if (packet[0] == TIOCPKT_DATA) {
                // The PC wrote them about one hand-over before they came out here.
                const TimePoint start = LineClock::now() - handOver_;
                for (ssize_t i = 1; i < n; ++i) pending_.push_back({packet[i], start});
            } else if (packet[0] & TIOCPKT_FLUSHREAD) {
                ++purges_;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all taken. EIO (or end of file) only while no one holds the
        // slave, which this line always does.
        return n < 0 && errno == EAGAIN;
    }
}

void PtyLine::pause(Millis duration) {
    const TimePoint deadline = now_ + duration;
    if (waitUntil(deadline, Until::Deadline)) now_ = deadline;
}

bool PtyLine::awaitPurge(Millis wait) {
    const TimePoint deadline = LineClock::now() + wait;
    if (!waitUntil(deadline, Until::Purge)) return false;
    if (!reached(Until::Purge)) {
        now_ = LineClock::now();
        return false;
    }
    // The PC purged about one hand-over before the camera heard of it.
    now_ = std::max(now_, LineClock::now() - handOver_);
    return true;
}

std::optional<std::uint8_t> PtyLine::receive(Millis wait) {
    if (!waitUntil(LineClock::now() + wait, Until::Input)) return std::nullopt;
    if (pending_.empty()) {
        now_ = LineClock::now();
        return std::nullopt;
    }
    const Arrival next = pending_.front();
    pending_.pop_front();
    if (!timing_) {
        now_ = LineClock::now();
        return next.byte;
    }
    // Whole only 12 bit times after it started, and not before the one
    // ahead of it has ended.
    rxClock_ = std::max(rxClock_, next.start) + wireTime(1, rate_);
    if (!waitUntil(rxClock_, Until::Deadline)) return std::nullopt;
    now_ = rxClock_;
    return next.byte;
}

void PtyLine::send(const std::uint8_t* data, std::size_t size) {
    if (adapter_.latency > Duration::zero()) {
        sendThroughAdapter(data, size);
        return;
    }
    if (!timing_) {
        writeAll(data, size);
        now_ = LineClock::now();
        purgesAtSend_ = purges_;
        return;
    }
    const Transmission tx(std::max(txClock_, now_), rate_, size);
    std::size_t done = 0;
    while (done < size) {
        // Each byte is handed over only once its last bit has crossed.
        const std::size_t count = tx.nextChunk(done, LineClock::now(), kChunk);
        const bool last = done + count == size;
        if (!waitUntil(tx.due(done + count), Until::Deadline,
                       last ? kLastWriteSpin : Duration::zero()))
            return;
        writeAll(data + done, count);
        done += count;
    }
    txClock_ = tx.end();
    now_ = txClock_;
    purgesAtSend_ = purges_;
}

void PtyLine::sendThroughAdapter(const std::uint8_t* data, std::size_t size) {
    // Without line timing the bytes cross at once; the adapter's hold stays.
    const TimePoint start = timing_ ? std::max(txClock_, now_) : LineClock::now();
    const Transmission tx(start, timing_ ? rate_ : 1000000000, size);
    for (std::size_t done = 0; done < size;) {
        const std::size_t count = std::min(adapter_.buffer, size - done);
        if (!waitUntil(packetArrival(tx, done, count, adapter_), Until::Deadline, kLastWriteSpin))
            return;
        writeAll(data + done, count);
        done += count;
    }
    // The line is free once the bytes have crossed it, whatever the adapter
    // still holds.
    txClock_ = tx.end();
    now_ = txClock_;
    purgesAtSend_ = purges_;
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
        if (n < 0 && errno == EAGAIN && pollFor(master_, POLLOUT, kWriteWait) & POLLOUT) continue;
        if (!flushed) {
            // Nobody has read the PC's input for a long time (the port is
            // closed): those bytes are stale, make room for the answer. The
            // notice of this purge is taken at once: it is not the PC's.
            ::tcflush(slave_, TCIFLUSH);
            (void)takeInput();
            flushed = true;
            continue;
        }
        logf("dropped %zu bytes: the line does not take them", size);
        return;
    }
}

}  // namespace pxcmcam
