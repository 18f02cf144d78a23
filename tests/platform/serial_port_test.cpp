// serial_port_test.cpp — the POSIX serial port over a pseudo-terminal: exact
// rates, reads bounded by their time-out and ended by a cancel, exclusive
// opening, purges and the COMn mapping.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/time.h>
#include <unistd.h>

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/posix/serial_line.h"
#include "platform/serial_port.h"
#include "support/temp_root.h"

namespace {

// The master side of a pty; the slave path is what the port opens.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        slave_ = ptsname(master_);
    }
    ~Pty() { hangUp(); }
    // Closes the master side, as a camera process that ends does.
    void hangUp() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }
    bool ok() const { return !slave_.empty(); }
    const std::string& slave() const { return slave_; }
    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::string receive(size_t n, int timeoutMs = 1000) const {
        std::string out;
        while (out.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0) break;
            char buf[256];
            const ssize_t r = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
            if (r <= 0) break;
            out.append(buf, size_t(r));
        }
        return out;
    }
    // The slave's line as the kernel keeps it (the master answers for it).
    struct termios2 line() const {
        struct termios2 t {};
        ioctl(master_, TCGETS2, &t);
        return t;
    }

private:
    int master_ = -1;
    std::string slave_;
};

std::string readAll(plat::SerialPort& port, uint32_t n) {
    std::string out(n, '\0');
    out.resize(port.read(reinterpret_cast<uint8_t*>(out.data()), n));
    return out;
}

TEST(SerialPortPosix, EveryRateOfTheLinkIsSetExactly) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    for (uint32_t rate : {9600u, 19200u, 56000u, 115200u, 9600u}) {
        plat::LineSettings s{rate, 8, plat::Parity::Odd, plat::StopBits::Two};
        EXPECT_TRUE(port->setLineSettings(s)) << rate;
        plat::LineSettings back;
        ASSERT_TRUE(port->getLineSettings(back));
        EXPECT_EQ(back.baudRate, rate);
        EXPECT_EQ(back.dataBits, 8);
        EXPECT_EQ(back.stopBits, plat::StopBits::Two);
        const struct termios2 t = pty.line();
        EXPECT_EQ(t.c_ospeed, rate) << "the other side sees another rate";
    }
}

TEST(SerialPortPosix, ReadWaitsForTheWholeCountThenReturnsWhatCame) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(300, 300));

    pty.send("abc");
    EXPECT_EQ(readAll(*port, 5), "abc");

    // Bytes that come in pieces are gathered into one read.
    std::thread later([&] {
        pty.send("12");
        usleep(50 * 1000);
        pty.send("34");
    });
    EXPECT_EQ(readAll(*port, 4), "1234");
    later.join();

    EXPECT_EQ(readAll(*port, 2), "");
}

TEST(SerialPortPosix, AHungUpLineEndsReadsAndWritesAtOnce) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    // Time-outs far beyond the test's run: a read that waits for them (or
    // spins until them) fails the bound below.
    constexpr uint32_t LONG_MS = 20 * 1000;
    ASSERT_TRUE(port->setTimeouts(LONG_MS, LONG_MS));
    pty.send("xy");
    EXPECT_EQ(readAll(*port, 2), "xy");
    pty.hangUp();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readAll(*port, 32), "");
    const uint8_t bytes[2] = {0x00, 0xFF};
    EXPECT_EQ(port->write(bytes, 2), 0u);
    EXPECT_EQ(readAll(*port, 1), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(LONG_MS / 4));
}

plat::CancelSignal* g_alarmCancel = nullptr;
void cancelOnAlarm(int) {
    g_alarmCancel->raise();
}

// A cancel raised by another thread or by a signal handler ends a read that
// waits far longer, with the bytes that came before it; raised, it ends the
// next read at once; lowered, reads wait and read again.
TEST(SerialPortPosix, ACancelEndsAReadUnderWayAtOnce) {
    constexpr uint32_t LONG_MS = 20 * 1000;
    for (const bool fromSignal : {false, true}) {
        SCOPED_TRACE(fromSignal ? "signal handler" : "thread");
        Pty pty;
        ASSERT_TRUE(pty.ok());
        auto port = plat::openSerialDevice(pty.slave());
        ASSERT_TRUE(port);
        ASSERT_TRUE(port->setTimeouts(LONG_MS, LONG_MS));
        plat::CancelSignal cancel;
        port->watchCancel(&cancel);

        pty.send("ab");
        const auto start = std::chrono::steady_clock::now();
        std::thread canceller;
        if (fromSignal) {
            g_alarmCancel = &cancel;
            signal(SIGALRM, cancelOnAlarm);
            itimerval in{{0, 0}, {0, 100 * 1000}};
            setitimer(ITIMER_REAL, &in, nullptr);
        } else {
            canceller = std::thread([&] {
                usleep(100 * 1000);
                cancel.raise();
            });
        }
        EXPECT_EQ(readAll(*port, 32), "ab");
        if (canceller.joinable()) canceller.join();
        EXPECT_TRUE(cancel.raised());
        pty.send("c");
        EXPECT_EQ(readAll(*port, 32), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(LONG_MS / 4));

        cancel.clear();
        EXPECT_FALSE(cancel.raised());
        ASSERT_TRUE(port->setTimeouts(300, 300));
        EXPECT_EQ(readAll(*port, 2), "c");
        signal(SIGALRM, SIG_DFL);
    }
}

TEST(SerialPortPosix, PortsWithoutALowLatencyFlagOpenAsBefore) {
    // A pty has no such flag: the request is refused and changes nothing.
    Pty pty;
    ASSERT_TRUE(pty.ok());
    const int fd = ::open(pty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const struct termios2 before = pty.line();
    EXPECT_FALSE(plat::posix::requestLowLatency(fd));
    const struct termios2 after = pty.line();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    ::close(fd);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    EXPECT_FALSE(plat::posix::requestLowLatency(pipeEnds[0]));
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);

    // The port that asked still carries bytes both ways.
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(300, 300));
    pty.send("G:");
    EXPECT_EQ(readAll(*port, 2), "G:");
}

TEST(SerialPortPosix, WritesReachTheOtherSide) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(1000, 1000));
    // Raw: no translation of NUL, CR, LF or 0xFF.
    const uint8_t bytes[] = {0x00, 'F', ':', '\r', '\n', 0xFF, 0x11, 0x13};
    EXPECT_EQ(port->write(bytes, sizeof bytes), sizeof bytes);
    EXPECT_EQ(pty.receive(sizeof bytes),
              std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

TEST(SerialPortPosix, RepliesAreReadRaw) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(500, 500));
    const std::string bytes("\x00\r\n\x03\x1a\xff\x7f", 7);
    pty.send(bytes);
    EXPECT_EQ(readAll(*port, 7), bytes);
}

TEST(SerialPortPosix, PurgeDropsBytesNotYetRead) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(200, 200));
    pty.send("stale");
    // The first byte arriving means that the whole batch is there.
    uint8_t one = 0;
    ASSERT_EQ(port->read(&one, 1), 1u);
    EXPECT_EQ(one, 's');
    EXPECT_TRUE(port->purge());
    EXPECT_EQ(readAll(*port, 4), "");
    pty.send("G:");
    EXPECT_EQ(readAll(*port, 2), "G:");
}

TEST(SerialPortPosix, PurgeKeepsBytesAlreadySent) {
    // Stop bytes followed at once by the switch back and its purge must still
    // reach the camera, even when it has not read them yet.
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto port = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->setTimeouts(200, 200));
    const uint8_t stop[] = {0xFF, 0xFF};
    ASSERT_EQ(port->write(stop, 2), 2u);
    plat::LineSettings s{9600, 8, plat::Parity::Odd, plat::StopBits::Two};
    port->setLineSettings(s);
    EXPECT_TRUE(port->purge());
    EXPECT_EQ(pty.receive(2), "\xFF\xFF");
}

TEST(SerialPortPosix, APortInUseIsNotOpenedTwice) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    auto first = plat::openSerialDevice(pty.slave());
    ASSERT_TRUE(first);
    EXPECT_FALSE(plat::openSerialDevice(pty.slave()));
    first.reset();
    EXPECT_TRUE(plat::openSerialDevice(pty.slave()));
}

TEST(SerialPortPosix, MissingDevicesAndPlainFilesAreNoPorts) {
    testsupport::TempRoot root;
    root.write("plain.txt", "x");
    EXPECT_FALSE(plat::openSerialDevice(root.file("missing")));
    EXPECT_FALSE(plat::openSerialDevice(root.file("plain.txt")));
}

TEST(SerialPortPosix, ComNamesMapThroughThePortsSection) {
    testsupport::TempRoot root;
    Pty pty;
    ASSERT_TRUE(pty.ok());
    root.write("windows/pxcm.ini",
               "[Ports]\r\nCOM3=" + pty.slave() + "\r\nCOM1=" + root.file("absent") + "\r\n");
    EXPECT_EQ(plat::serialDeviceFor("COM3"), pty.slave());
    EXPECT_EQ(plat::serialDeviceFor("COM2"), "/dev/ttyS1");
    EXPECT_EQ(plat::serialDeviceFor("COM8"), "/dev/ttyS7");
    EXPECT_TRUE(plat::openSerialPort("COM3"));
    EXPECT_FALSE(plat::openSerialPort("COM1"));
}

}  // namespace
