// picture_output.cpp — PNG through the platform's writer, BMP in memory.
#include "tools/pxcm/picture_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/png_file.h"

namespace pxcm {

bool writePictureFile(const std::string& path, const PictureRows& rows, PictureFormat format,
                      std::string* error) {
    if (format == PictureFormat::Png)
        return plat::writePng(path, rows.width, rows.height, rows.top, rows.stride, rows.bgr,
                              error);
    const std::vector<std::uint8_t> file = encodeBmp(rows);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(path.c_str());
    }
    return ok;
}

}  // namespace pxcm
