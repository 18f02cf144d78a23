// sample_pictures.h — generated pictures the camera "takes": coloured
// gradients and shapes with a large picture number, and their thumbnails.
#pragma once

#include <optional>
#include <string>

#include "tools/pxcm-camera/camera_clock.h"
#include "tools/pxcm-camera/jpeg_writer.h"
#include "tools/pxcm-camera/picture_store.h"

namespace pxcmcam {

constexpr int kThumbnailWidth = 80;
constexpr int kThumbnailHeight = 56;
constexpr int kSampleCount = 6;

// `variant` picks colours and shape, so pictures with different variants
// look different even when they carry the same number.
[[nodiscard]] RgbImage drawPicture(int width, int height, int number, int variant);

struct GeneratedPicture {
    Bytes picture;
    Bytes thumbnail;  // 80x56
};

[[nodiscard]] std::optional<GeneratedPicture> makePicture(int width, int height, int number,
                                                          int variant);

// The built-in set: six pictures, 640x480 and 320x240 in turn, dated on the
// days before `clock`.
[[nodiscard]] bool writeSampleSet(const PictureStore& store, const CameraTime& clock,
                                  std::string& error);

}  // namespace pxcmcam
