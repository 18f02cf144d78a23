// replies.h — the camera's reply records laid out byte by byte: status,
// picture information, firmware version. Pure; no I/O.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/pxcm-camera/camera_clock.h"

namespace pxcmcam {

constexpr std::size_t kStatusSize = 12;
constexpr std::size_t kInfoSize = 22;
constexpr std::size_t kBlockSize = 32;

struct StatusFields {
    int pictureCount = 0;
    int freeFrames = 0;
    bool modeQ = false;
    bool modeT = false;
    CameraTime clock;
    int battery = 1;
};

struct InfoFields {
    int number = 0;
    std::uint16_t width = 0;  // the picture's JPEG width, 0 when not a JPEG
    std::uint32_t thumbnailSize = 0;
    std::uint16_t height = 0;  // the picture's JPEG height, 0 when not a JPEG
    std::uint32_t pictureSize = 0;
    std::optional<CameraTime> date;  // none: date bytes all zero
    std::uint8_t marker = 0;
};

// "S:", count, free frames, mode (0x22 for Q, 0x11 for T), year - 1792,
// month, day, hour, minute, battery, 0x00.
[[nodiscard]] std::array<std::uint8_t, kStatusSize> statusReply(const StatusFields& s);

// "C:", number, A (BE16), thumbnail size (BE32), B (BE16), picture size
// (BE32), year - 1792, month, day, hour, minute, marker, 0x00.
[[nodiscard]] std::array<std::uint8_t, kInfoSize> infoReply(const InfoFields& f);

// Version × 10, then ':'.
[[nodiscard]] std::array<std::uint8_t, 2> versionReply(int firmwareTenths);

struct JpegSize {
    int width = 0;
    int height = 0;
};

// Width and height from the first frame header of a JPEG file; nothing when
// the bytes are not a JPEG with a frame header.
[[nodiscard]] std::optional<JpegSize> jpegSize(const std::vector<std::uint8_t>& data);

// Baud rate of a download speed code; codes the camera does not know keep 9600.
[[nodiscard]] int rateOfSpeedCode(int code);

}  // namespace pxcmcam
