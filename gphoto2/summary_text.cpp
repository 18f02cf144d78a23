// summary_text.cpp — the summary's lines.
#include "gphoto2/summary_text.h"

#include <cstdio>

const char* batteryText(uint8_t level) {
    switch (level) {
        case 1:
            return "full";
        case 2:
            return "half";
        case 3:
            return "low";
        default:
            return "unknown";
    }
}

std::string summaryText(const CameraStatus& s, double firmware, int downloadRate) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "Pictures taken: %d\n"
                  "Pictures left: %d\n"
                  "Battery: %s\n"
                  "Firmware: %.1f\n"
                  "Camera clock: %04d-%02d-%02d %02d:%02d\n"
                  "Picture size: %s\n"
                  "Self-timer: %s\n"
                  "Download speed: %d baud\n",
                  s.pictureCount, s.freeFrames, batteryText(s.batteryLevel), firmware, s.clockYear,
                  s.clockMonth, s.clockDay, s.clockHour, s.clockMinute,
                  s.modeQ == 1 ? "320x240" : "640x480", s.modeT == 1 ? "on" : "off", downloadRate);
    return text;
}
