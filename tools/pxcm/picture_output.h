// picture_output.h — a transferred picture written as a PNG or BMP file.
#pragma once

#include <string>

#include "image/picture_file.h"

namespace pxcm {

enum class PictureFormat { Png, Bmp };

// Writes the rows; false with a one-line reason (nothing is left behind).
bool writePictureFile(const std::string& path, const PictureRows& rows, PictureFormat format,
                      std::string* error);

}  // namespace pxcm
