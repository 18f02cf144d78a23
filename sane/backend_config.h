// backend_config.h — the backend's configuration file pxcm.conf: the serial
// devices to look for the camera on, one a line, and the download speed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BackendConfig {
    std::vector<std::string> devices;
    uint8_t speedCode = 15;  // 56000 baud, the default elsewhere too
    // One line for each line that was not understood; the rest still holds.
    std::vector<std::string> problems;
};

// Lines: "#" starts a comment line; blank lines are skipped; "speed RATE"
// with RATE 9600, 19200, 56000 or 115200 sets the download speed; any other
// line names a device. Leading and trailing blanks do not count.
BackendConfig parseBackendConfig(const std::string& text);

// The folders where SANE looks for configuration files, in order: those of
// $SANE_CONFIG_DIR (colon-separated; an empty last entry, i.e. a trailing
// colon, appends the defaults), else the defaults "." and `defaultDir`.
std::vector<std::string> configSearchPath(const char* saneConfigDir, const std::string& defaultDir);
