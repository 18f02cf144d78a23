// serial_line_termios2.cpp — line format through termios2 on Linux, so that
// any rate is set exactly (BOTHER); plain termios elsewhere.
#include "platform/posix/serial_line.h"

#if defined(__linux__)
#include <asm/termbits.h>
#include <sys/ioctl.h>
#else
#include <termios.h>
#endif

namespace plat::posix {
namespace {

struct RateCode {
    uint32_t rate;
    unsigned code;
};

// The standard codes are kept for standard rates so that a peer reading the
// settings with plain termios sees them; anything else goes as BOTHER.
constexpr RateCode RATE_CODES[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

unsigned codeForRate(uint32_t rate) {
    for (const RateCode& rc : RATE_CODES)
        if (rc.rate == rate) return rc.code;
    return 0;
}

uint32_t rateForCode(unsigned code) {
    for (const RateCode& rc : RATE_CODES)
        if (rc.code == code) return rc.rate;
    return 0;
}

template <typename Flags>
void decodeFormat(Flags cflag, LineSettings& out) {
    switch (cflag & CSIZE) {
        case CS5:
            out.dataBits = 5;
            break;
        case CS6:
            out.dataBits = 6;
            break;
        case CS7:
            out.dataBits = 7;
            break;
        default:
            out.dataBits = 8;
            break;
    }
    if (!(cflag & PARENB)) out.parity = Parity::None;
#ifdef CMSPAR
    else if (cflag & CMSPAR)
        out.parity = (cflag & PARODD) ? Parity::Mark : Parity::Space;
#endif
    else
        out.parity = (cflag & PARODD) ? Parity::Odd : Parity::Even;
    out.stopBits = (cflag & CSTOPB) ? StopBits::Two : StopBits::One;
}

template <typename Flags>
Flags encodeFormat(Flags cflag, const LineSettings& s) {
    cflag &= ~static_cast<Flags>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CMSPAR
    cflag &= ~static_cast<Flags>(CMSPAR);
#endif
    switch (s.dataBits) {
        case 5:
            cflag |= CS5;
            break;
        case 6:
            cflag |= CS6;
            break;
        case 7:
            cflag |= CS7;
            break;
        default:
            cflag |= CS8;
            break;
    }
    switch (s.parity) {
        case Parity::None:
            break;
        case Parity::Odd:
            cflag |= PARENB | PARODD;
            break;
        case Parity::Even:
            cflag |= PARENB;
            break;
#ifdef CMSPAR
        case Parity::Mark:
            cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            cflag |= PARENB | CMSPAR;
            break;
#else
        default:
            cflag |= PARENB;
            break;
#endif
    }
    if (s.stopBits != StopBits::One) cflag |= CSTOPB;
    return cflag;
}

}  // namespace

#if defined(__linux__)

bool readLineSettings(int fd, LineSettings& out) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    const unsigned code = t.c_cflag & CBAUD;
    out.baudRate = code == BOTHER ? t.c_ospeed : rateForCode(code);
    decodeFormat(t.c_cflag, out);
    return true;
}

bool writeLineSettings(int fd, const LineSettings& s) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag = encodeFormat(t.c_cflag, s);
    const unsigned code = codeForRate(s.baudRate);
    // Input rate bits 0: the input follows the output rate.
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= code ? code : BOTHER;
    t.c_ispeed = s.baudRate;
    t.c_ospeed = s.baudRate;
    return ioctl(fd, TCSETS2, &t) == 0;
}

#else

bool readLineSettings(int fd, LineSettings& out) {
    struct termios t {};
    if (tcgetattr(fd, &t) != 0) return false;
    out.baudRate = rateForCode(cfgetospeed(&t));
    decodeFormat(t.c_cflag, out);
    return true;
}

bool writeLineSettings(int fd, const LineSettings& s) {
    struct termios t {};
    if (tcgetattr(fd, &t) != 0) return false;
    t.c_cflag = encodeFormat(t.c_cflag, s);
    const unsigned code = codeForRate(s.baudRate);
    // Without exact rates a rate the system does not know cannot be set.
    if (!code) return false;
    cfsetispeed(&t, code);
    cfsetospeed(&t, code);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

#endif

}  // namespace plat::posix
