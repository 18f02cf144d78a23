// line.h — what the camera's protocol needs from its serial line; the pty
// implements it, and nothing of the protocol touches the OS directly.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pxcmcam {

using Millis = std::chrono::milliseconds;

class Line {
public:
    virtual ~Line() = default;

    // The next byte from the PC, or nothing when none came within `wait`
    // (or the program is stopping).
    [[nodiscard]] virtual std::optional<std::uint8_t> receive(Millis wait) = 0;
    virtual void send(const std::uint8_t* data, std::size_t size) = 0;
    // The camera's own rate, which paces the bytes when timing is on.
    virtual void setRate(int baud) = 0;
    // The rate the PC has set on its end of the line; 0 when unknown.
    [[nodiscard]] virtual int pcRate() const = 0;
    // The PC's character format, "8O2" for the camera's; empty when unknown.
    [[nodiscard]] virtual std::string pcFormat() const = 0;
    // Sleeps, cut short when the program is stopping.
    virtual void pause(Millis duration) = 0;
    // Waits at most `wait` for the PC to purge its input queue after the last
    // bytes sent; false when it did not (or the program is stopping).
    [[nodiscard]] virtual bool awaitPurge(Millis wait) = 0;
    [[nodiscard]] virtual bool stopping() const = 0;
};

}  // namespace pxcmcam
