// line_settings_file.cpp — the line options read from the settings file.
#include "camera/line_settings_file.h"

#include "platform/profile.h"

LineOptions readLineOptions(const std::string& settingsFile) {
    LineOptions o;
    o.intervalTenths = static_cast<int32_t>(plat::profileGetInt(
        CAMERA_SECTION, SPECIAL_INTERVAL_KEY, DEFAULT_SPECIAL_INTERVAL, settingsFile.c_str()));
    o.speedCode =
        static_cast<uint8_t>(plat::profileGetInt(CAMERA_SECTION, SERIAL_SPEED_KEY,
                                                 DEFAULT_SERIAL_SPEED, settingsFile.c_str()) &
                             0xFF);
    return o;
}
