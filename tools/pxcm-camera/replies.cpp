// replies.cpp — byte layout of the camera's replies.
#include "tools/pxcm-camera/replies.h"

#include <algorithm>

namespace pxcmcam {

namespace {

std::uint8_t clampByte(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

void putBe16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 8);
    at[1] = static_cast<std::uint8_t>(v);
}

void putBe32(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 24);
    at[1] = static_cast<std::uint8_t>(v >> 16);
    at[2] = static_cast<std::uint8_t>(v >> 8);
    at[3] = static_cast<std::uint8_t>(v);
}

void putDate(std::uint8_t* at, const CameraTime& t) {
    at[0] = static_cast<std::uint8_t>(yearByte(t.year));
    at[1] = clampByte(t.month);
    at[2] = clampByte(t.day);
    at[3] = clampByte(t.hour);
    at[4] = clampByte(t.minute);
}

}  // namespace

std::array<std::uint8_t, kStatusSize> statusReply(const StatusFields& s) {
    std::array<std::uint8_t, kStatusSize> r{};
    r[0] = 'S';
    r[1] = ':';
    r[2] = clampByte(s.pictureCount);
    r[3] = clampByte(s.freeFrames);
    r[4] = static_cast<std::uint8_t>((s.modeQ ? 0x22 : 0) | (s.modeT ? 0x11 : 0));
    putDate(&r[5], s.clock);
    r[10] = clampByte(s.battery);
    return r;
}

std::array<std::uint8_t, kInfoSize> infoReply(const InfoFields& f) {
    std::array<std::uint8_t, kInfoSize> r{};
    r[0] = 'C';
    r[1] = ':';
    r[2] = clampByte(f.number);
    putBe16(&r[3], f.width);
    putBe32(&r[5], f.thumbnailSize);
    putBe16(&r[9], f.height);
    putBe32(&r[11], f.pictureSize);
    if (f.date) putDate(&r[15], *f.date);
    r[20] = f.marker;
    return r;
}

std::array<std::uint8_t, 2> versionReply(int firmwareTenths) {
    return {clampByte(firmwareTenths), ':'};
}

std::optional<JpegSize> jpegSize(const std::vector<std::uint8_t>& data) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF) return std::nullopt;
        std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // image data before a frame
        std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > data.size() || length < 7) return std::nullopt;
            JpegSize size;
            size.height = (data[at + 5] << 8) | data[at + 6];
            size.width = (data[at + 7] << 8) | data[at + 8];
            return size;
        }
        if (length < 2) return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

int rateOfSpeedCode(int code) {
    switch (code) {
        case 7:
            return 115200;
        case 15:
            return 56000;
        case 46:
            return 19200;
        default:
            return 9600;
    }
}

}  // namespace pxcmcam
