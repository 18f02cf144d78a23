// backend_config.cpp — reading pxcm.conf and finding it where SANE looks.
#include "sane/backend_config.h"

#include <sstream>

#include "camera/camera_link.h"

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// The speed code for a baud rate the camera offers; 0 for any other text.
uint8_t speedCodeForRate(const std::string& text) {
    for (uint8_t code : {SPEED_9600, SPEED_19200, SPEED_56000, SPEED_115200})
        if (text == std::to_string(baudRateForSpeedCode(code))) return code;
    return 0;
}

}  // namespace

BackendConfig parseBackendConfig(const std::string& text) {
    BackendConfig config;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#') continue;
        const auto blank = line.find_first_of(" \t");
        if (line.compare(0, blank, "speed") == 0) {
            const std::string rate =
                blank == std::string::npos ? std::string() : trimmed(line.substr(blank));
            if (const uint8_t code = speedCodeForRate(rate))
                config.speedCode = code;
            else
                config.problems.push_back("line " + std::to_string(number) + ": speed \"" + rate +
                                          "\" is not 9600, 19200, 56000 or 115200");
            continue;
        }
        config.devices.push_back(line);
    }
    return config;
}

std::vector<std::string> configSearchPath(const char* saneConfigDir,
                                          const std::string& defaultDir) {
    const std::vector<std::string> defaults{".", defaultDir};
    if (!saneConfigDir || !*saneConfigDir) return defaults;
    std::vector<std::string> dirs;
    std::string entry;
    std::istringstream in(saneConfigDir);
    while (std::getline(in, entry, ':'))
        if (!entry.empty()) dirs.push_back(entry);
    const std::string all(saneConfigDir);
    if (all.back() == ':') dirs.insert(dirs.end(), defaults.begin(), defaults.end());
    return dirs;
}
