// picture_output.h — a transferred picture written as a PNG or BMP file,
// complete under its name or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "image/picture_file.h"

namespace pxcm {

enum class PictureFormat { Png, Bmp };

enum class FileOutcome { Written, Replaced, Exists, Failed };

// The tags of temporary names, one a try.
using TagSource = std::function<std::uint32_t()>;
std::uint32_t randomTag();

// Writes the rows to a temporary file in the folder of `path` (made new under
// a name that nothing has, never through a link) and renames it to `path`
// once complete, so that a partial file never carries the name.
// An existing `path` is replaced only with `replace`; otherwise Exists, and
// it stays as it was. Failed: a one-line reason, and nothing left behind.
FileOutcome writePictureFile(const std::string& path, const PictureRows& rows, PictureFormat format,
                             bool replace, std::string* error,
                             const TagSource& nextTag = randomTag);

// Whether a file can be made in `folder` (one is made and removed again);
// false with a one-line reason.
bool folderTakesFiles(const std::string& folder, std::string* error);

}  // namespace pxcm
