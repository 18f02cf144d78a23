// download_speed.h — the download speeds the driver offers. The camera's
// 56000 baud is left out: libgphoto2's serial port refuses that rate, and
// 57600 in its place is not the rate the camera switches to.
#pragma once

#include <cstdint>
#include <string>

constexpr int OFFERED_RATES[] = {9600, 19200, 115200};
constexpr int DEFAULT_RATE = 115200;

// The camera's speed code for an offered rate; 0 for any other rate.
uint8_t speedCodeForOfferedRate(int rate);
// "9600, 19200 or 115200", for messages.
std::string offeredRatesText();
