// camera_replies.cpp — parsers of the status and picture-information replies.
#include "camera/camera_replies.h"

namespace {

uint32_t be16(const uint8_t* p) {
    return (uint32_t(p[0]) << 8) | p[1];
}
uint32_t be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
// The camera sends the year as its low byte over 1792.
int32_t cameraYear(uint8_t b) {
    return 0x700 | b;
}
// A mode is on only when both bits of its pair are set.
int32_t bothBits(uint8_t b, uint8_t mask) {
    return (b & mask) == mask ? 1 : 0;
}

}  // namespace

bool operator==(const PictureInfo& a, const PictureInfo& b) {
    return a.pictureNumber == b.pictureNumber && a.width == b.width &&
           a.thumbnailSize == b.thumbnailSize && a.height == b.height &&
           a.pictureSize == b.pictureSize && a.year == b.year && a.month == b.month &&
           a.day == b.day && a.hour == b.hour && a.minute == b.minute && a.marker == b.marker;
}

bool parseStatusReply(const uint8_t* reply, CameraStatus& out) {
    if (reply[0] != 'S' || reply[1] != ':') return false;
    out.pictureCount = reply[2];
    out.freeFrames = reply[3];
    out.modeQ = bothBits(reply[4], 0x22);
    out.modeT = bothBits(reply[4], 0x11);
    out.clockYear = cameraYear(reply[5]);
    out.clockMonth = reply[6];
    out.clockDay = reply[7];
    out.clockHour = reply[8];
    out.clockMinute = reply[9];
    out.batteryLevel = reply[10];
    return true;
}

bool parseFirmwareReply(const uint8_t* reply, double& version) {
    if (reply[0] == 0 || reply[0] >= FIRST_HEADER_BYTE) return false;
    version = reply[0] / 10.0;
    return true;
}

LinkResult parsePictureInfoReply(const uint8_t* reply, PictureInfo& out) {
    if (reply[0] != 'C' || reply[1] != ':') return LINK_BAD_INFO;
    out.pictureNumber = reply[2];
    out.width = be16(reply + 3);
    out.thumbnailSize = be32(reply + 5);
    out.height = be16(reply + 9);
    out.pictureSize = be32(reply + 11);
    out.year = cameraYear(reply[15]);
    out.month = reply[16];
    out.day = reply[17];
    out.hour = reply[18];
    out.minute = reply[19];
    out.marker = reply[20];
    return LINK_OK;
}

const char* linkResultName(LinkResult code) {
    switch (code) {
        case LINK_OK:
            return "LINK_OK";
        case LINK_NO_ANSWER:
            return "LINK_NO_ANSWER";
        case LINK_BAD_REPLY:
            return "LINK_BAD_REPLY";
        case LINK_BLOCK_FAILED:
            return "LINK_BLOCK_FAILED";
        case LINK_BAD_INFO:
            return "LINK_BAD_INFO";
        case LINK_NO_MEMORY:
            return "LINK_NO_MEMORY";
        case LINK_TOO_BIG:
            return "LINK_TOO_BIG";
        case LINK_BUSY:
            return "LINK_BUSY";
        case LINK_NO_PORT:
            return "LINK_NO_PORT";
        case LINK_CANCELLED:
            return "LINK_CANCELLED";
        case LINK_DAMAGED:
            return "LINK_DAMAGED";
        default:
            return "LINK_UNKNOWN";
    }
}
