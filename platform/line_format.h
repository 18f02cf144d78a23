// line_format.h — a terminal's character format (data bits, parity, stop
// bits) held on a second descriptor of the device, for a port whose own
// settings cannot express the format the far end needs; the rate stays
// whatever the port sets. POSIX only.
#pragma once

#include <string>

#include "platform/serial_port.h"

namespace plat {

class LineFormat {
public:
    // Opens `device` (a path) beside the port that holds it; when it cannot
    // be opened, every apply fails.
    explicit LineFormat(const std::string& device);
    // Puts back the format found at the first apply.
    ~LineFormat();
    LineFormat(const LineFormat&) = delete;
    LineFormat& operator=(const LineFormat&) = delete;

    // Sets the data bits, parity and stop bits of `format` (its rate is not
    // looked at) and keeps the terminal's rate and every other flag; again
    // after each time the port rewrote its settings.
    bool apply(const LineSettings& format);

private:
    int fd_ = -1;
    bool saved_ = false;
    LineSettings original_{};
};

}  // namespace plat
