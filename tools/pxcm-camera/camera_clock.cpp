// camera_clock.cpp — the camera clock and the conversions to file times.
#include "tools/pxcm-camera/camera_clock.h"

#include <cstdio>

namespace pxcmcam {

namespace {

std::tm toTm(const CameraTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    return tm;
}

CameraTime fromTm(const std::tm& tm) {
    return CameraTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

}  // namespace

std::optional<CameraTime> parseCameraTime(const std::string& text) {
    CameraTime t;
    int consumed = 0;
    if (text.size() != 16 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &consumed) != 5 ||
        consumed != 16)
        return std::nullopt;
    if (t.year < 1792 || t.year > 2047 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 ||
        t.hour > 23 || t.minute > 59)
        return std::nullopt;
    return t;
}

CameraTime localTimeOf(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return fromTm(tm);
}

std::time_t fileTimeOf(const CameraTime& t) {
    std::tm tm = toTm(t);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

int yearByte(int year) {
    if (year < 1792) return 0;
    if (year > 2047) return 255;
    return year - 1792;
}

CameraClock::CameraClock(const CameraTime& start) {
    set(start);
}

void CameraClock::set(const CameraTime& t) {
    std::tm tm = toTm(t);
    base_ = timegm(&tm);
    setAt_ = std::chrono::steady_clock::now();
}

CameraTime CameraClock::now() const {
    auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - setAt_);
    std::time_t t = base_ + static_cast<std::time_t>(elapsed.count());
    std::tm tm{};
    gmtime_r(&t, &tm);
    return fromTm(tm);
}

}  // namespace pxcmcam
