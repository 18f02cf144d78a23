// serial_port_win32.cpp — serial ports over Win32 COM handles: not shared, no
// overlapped I/O, total read and write time-outs through COMMTIMEOUTS; a read
// that watches a cancel waits in slices and ends within one of a cancel.
#include <windows.h>

#include <string>

#include "platform/serial_port.h"

namespace plat {
namespace {

// Longest wait between two looks at a cancel.
constexpr DWORD CANCEL_SLICE_MS = 100;

Parity parityFromDcb(BYTE p) {
    switch (p) {
        case ODDPARITY:
            return Parity::Odd;
        case EVENPARITY:
            return Parity::Even;
        case MARKPARITY:
            return Parity::Mark;
        case SPACEPARITY:
            return Parity::Space;
        default:
            return Parity::None;
    }
}

BYTE parityToDcb(Parity p) {
    switch (p) {
        case Parity::Odd:
            return ODDPARITY;
        case Parity::Even:
            return EVENPARITY;
        case Parity::Mark:
            return MARKPARITY;
        case Parity::Space:
            return SPACEPARITY;
        default:
            return NOPARITY;
    }
}

StopBits stopFromDcb(BYTE s) {
    switch (s) {
        case TWOSTOPBITS:
            return StopBits::Two;
        case ONE5STOPBITS:
            return StopBits::OneAndHalf;
        default:
            return StopBits::One;
    }
}

BYTE stopToDcb(StopBits s) {
    switch (s) {
        case StopBits::Two:
            return TWOSTOPBITS;
        case StopBits::OneAndHalf:
            return ONE5STOPBITS;
        default:
            return ONESTOPBIT;
    }
}

class Win32SerialPort : public SerialPort {
public:
    explicit Win32SerialPort(HANDLE h) : h_(h) {}
    ~Win32SerialPort() override { CloseHandle(h_); }

    uint32_t write(const uint8_t* data, uint32_t count) override {
        DWORD n = 0;
        if (!WriteFile(h_, data, count, &n, nullptr)) return n;
        return n;
    }

    uint32_t read(uint8_t* data, uint32_t count) override {
        if (!cancel_) return readOnce(data, count);
        // The total time-out in slices: the same bytes within the same time,
        // and a cancel seen between two slices.
        const ULONGLONG deadline = GetTickCount64() + readMs_;
        uint32_t got = 0;
        while (got < count && !cancel_->raised()) {
            const ULONGLONG now = GetTickCount64();
            // All-zero time-outs would wait for ever.
            if (now >= deadline) break;
            const DWORD left = static_cast<DWORD>(deadline - now);
            if (!applyTimeouts(left < CANCEL_SLICE_MS ? left : CANCEL_SLICE_MS)) break;
            got += readOnce(data + got, count - got);
        }
        (void)applyTimeouts(readMs_);
        return got;
    }

    bool getLineSettings(LineSettings& out) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(h_, &dcb)) return false;
        out.baudRate = dcb.BaudRate;
        out.dataBits = dcb.ByteSize;
        out.parity = parityFromDcb(dcb.Parity);
        out.stopBits = stopFromDcb(dcb.StopBits);
        return true;
    }

    bool setLineSettings(const LineSettings& s) override {
        // Every other field of the DCB stays as the port reported it.
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(h_, &dcb)) return false;
        dcb.BaudRate = s.baudRate;
        dcb.ByteSize = s.dataBits;
        dcb.Parity = parityToDcb(s.parity);
        dcb.StopBits = stopToDcb(s.stopBits);
        return SetCommState(h_, &dcb) != 0;
    }

    bool setQueueSizes(uint32_t inputBytes, uint32_t outputBytes) override {
        return SetupComm(h_, inputBytes, outputBytes) != 0;
    }

    bool setTimeouts(uint32_t readMs, uint32_t writeMs) override {
        readMs_ = readMs;
        writeMs_ = writeMs;
        return applyTimeouts(readMs);
    }

    bool purge() override {
        return PurgeComm(h_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != 0;
    }

    void watchCancel(const CancelSignal* cancel) override { cancel_ = cancel; }

private:
    uint32_t readOnce(uint8_t* data, uint32_t count) {
        DWORD n = 0;
        if (!ReadFile(h_, data, count, &n, nullptr)) return n;
        return n;
    }

    bool applyTimeouts(DWORD readMs) {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = 0;
        t.ReadTotalTimeoutMultiplier = 0;
        t.ReadTotalTimeoutConstant = readMs;
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = writeMs_;
        return SetCommTimeouts(h_, &t) != 0;
    }

    HANDLE h_;
    DWORD readMs_ = 0;
    DWORD writeMs_ = 0;
    const CancelSignal* cancel_ = nullptr;
};

std::unique_ptr<SerialPort> openHandle(const std::string& name, bool* busy) {
    if (busy) *busy = false;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A COM port held by another program refuses with access denied.
        const DWORD error = GetLastError();
        if (busy) *busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        return nullptr;
    }
    return std::make_unique<Win32SerialPort>(h);
}

}  // namespace

std::string serialDeviceFor(const std::string& name) {
    return name;
}

std::unique_ptr<SerialPort> openSerialPort(const std::string& name, bool* busy) {
    return openHandle(name, busy);
}

std::unique_ptr<SerialPort> openSerialDevice(const std::string& device, bool* busy) {
    // COM10 and above, and any device name, are reached through \\.\ .
    if (device.rfind("\\\\.\\", 0) == 0) return openHandle(device, busy);
    return openHandle("\\\\.\\" + device, busy);
}

}  // namespace plat
