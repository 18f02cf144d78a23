// line_watch.h — waiting for a terminal's next byte on a second descriptor of
// the device that never reads, for a port whose own reads cannot tell that
// the far end has gone (a USB serial adapter unplugged, a pty closed). POSIX
// only.
#pragma once

#include <string>

namespace plat {

class LineWatch {
public:
    enum class Wait { Ready, TimedOut, HungUp };

    // Watches `device` (a path); when it cannot be opened, every wait
    // answers Ready at once and leaves the waiting to the port.
    explicit LineWatch(const std::string& device);
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // Waits at most `ms` for a byte to read (Ready) or the hang-up.
    Wait waitReadable(int ms) const;
    // Bytes received and not yet read; 1 when the count is unknown.
    unsigned available() const;

private:
    int fd_ = -1;
};

}  // namespace plat
