// camera_replies.h — the camera's status and picture-information replies as
// records, and the pure parsers that fill them from reply bytes.
#pragma once

#include <cstdint>

#include "camera/link_result.h"

constexpr unsigned STATUS_REPLY_SIZE = 12;
constexpr unsigned INFO_REPLY_SIZE = 22;

// One picture as the camera describes it. Two records are equal when all
// their fields are equal (the thumbnail list compares them that way).
struct PictureInfo {
    uint8_t pictureNumber = 0;
    uint32_t width = 0;  // of the picture, in pixels
    uint32_t thumbnailSize = 0;
    uint32_t height = 0;  // of the picture, in pixels
    uint32_t pictureSize = 0;
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    uint8_t marker = 0;
};

bool operator==(const PictureInfo& a, const PictureInfo& b);
inline bool operator!=(const PictureInfo& a, const PictureInfo& b) {
    return !(a == b);
}

// The camera's status, in the order the link keeps it: its clock, then its
// counts, modes and battery.
struct CameraStatus {
    int32_t clockYear = 0;
    int32_t clockMonth = 0;
    int32_t clockDay = 0;
    int32_t clockHour = 0;
    int32_t clockMinute = 0;
    int32_t pictureCount = 0;
    int32_t freeFrames = 0;
    int32_t modeQ = 0;
    int32_t modeT = 0;
    uint8_t batteryLevel = 0;  // 1 full, 2 half, 3 low, anything else unknown
};

// A 12-byte status reply ("S:" ...). False, with `out` untouched, when the
// header is wrong.
[[nodiscard]] bool parseStatusReply(const uint8_t* reply, CameraStatus& out);

// The 2-byte firmware reply: the version times ten, then a byte that is not
// looked at. False, with `version` untouched, when the first byte is 0 or a
// reply header's letter or '?' (0x3F and above): every reply of the camera
// starts with one of those, a version byte never does (versions 0.1 to 6.2).
constexpr unsigned FIRMWARE_REPLY_SIZE = 2;
constexpr uint8_t FIRST_HEADER_BYTE = 0x3F;
[[nodiscard]] bool parseFirmwareReply(const uint8_t* reply, double& version);

// A 22-byte information reply ("C:" ...). LINK_BAD_INFO, with `out`
// untouched, unless byte 0 is "C" and byte 1 is ":".
[[nodiscard]] LinkResult parsePictureInfoReply(const uint8_t* reply, PictureInfo& out);
