// camera_clock.h — the camera's own date and time: set from options or by the
// PC's "M" request, running on from there like a real clock.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

namespace pxcmcam {

struct CameraTime {
    int year = 1792;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

// "YYYY-MM-DDTHH:MM" with every field in its range; nothing otherwise.
[[nodiscard]] std::optional<CameraTime> parseCameraTime(const std::string& text);

// Local broken-down time of a file time, and back.
[[nodiscard]] CameraTime localTimeOf(std::time_t t);
[[nodiscard]] std::time_t fileTimeOf(const CameraTime& t);

// The year as the camera's one byte: years 1792 to 2047.
[[nodiscard]] int yearByte(int year);

class CameraClock {
public:
    explicit CameraClock(const CameraTime& start);
    void set(const CameraTime& t);
    [[nodiscard]] CameraTime now() const;

private:
    std::time_t base_;  // the set time as seconds of a UTC calendar (no DST jumps)
    std::chrono::steady_clock::time_point setAt_;
};

}  // namespace pxcmcam
