// line_settings_file.h — the camera's line options in section "KMT-18" of a
// settings file: SERIAL_SPEED (the speed code, its low byte; default 15) and
// SPECIAL_INTERVAL_TIME (tenths of a second; default 1).
#pragma once

#include <string>

#include "camera/camera_link.h"

constexpr char CAMERA_SECTION[] = "KMT-18";
constexpr char SERIAL_SPEED_KEY[] = "SERIAL_SPEED";
constexpr char SPECIAL_INTERVAL_KEY[] = "SPECIAL_INTERVAL_TIME";
constexpr int DEFAULT_SERIAL_SPEED = 15;
constexpr int DEFAULT_SPECIAL_INTERVAL = 1;

LineOptions readLineOptions(const std::string& settingsFile);
