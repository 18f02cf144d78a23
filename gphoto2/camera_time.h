// camera_time.h — the camera's dates (its clock, a picture's time), which
// carry no time zone, as this computer's local time.
#pragma once

#include <ctime>

std::time_t localTimeOf(int year, int month, int day, int hour, int minute);
