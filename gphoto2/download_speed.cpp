// download_speed.cpp — offered rates and their speed codes.
#include "gphoto2/download_speed.h"

#include "camera/camera_link.h"

uint8_t speedCodeForOfferedRate(int rate) {
    for (uint8_t code : {SPEED_9600, SPEED_19200, SPEED_115200})
        if (rate > 0 && baudRateForSpeedCode(code) == static_cast<uint32_t>(rate)) return code;
    return 0;
}

std::string offeredRatesText() {
    std::string text;
    const int count = static_cast<int>(sizeof OFFERED_RATES / sizeof OFFERED_RATES[0]);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += i == count - 1 ? " or " : ", ";
        text += std::to_string(OFFERED_RATES[i]);
    }
    return text;
}
