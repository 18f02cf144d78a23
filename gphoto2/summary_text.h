// summary_text.h — the camera's status as the driver's summary text.
#pragma once

#include <string>

#include "camera/camera_replies.h"

std::string summaryText(const CameraStatus& status, double firmware, int downloadRate);
// "full", "half", "low" or "unknown" for the status's battery byte.
const char* batteryText(uint8_t level);
