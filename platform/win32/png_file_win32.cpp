// png_file_win32.cpp — the Windows build writes no PNG files.
#include "platform/png_file.h"

namespace plat {

bool writePng(std::FILE* file, const std::string& name, int width, int height,
              const std::uint8_t* firstRow, std::ptrdiff_t stride, bool bgr, std::string* error) {
    std::fclose(file);
    return writePng(name, width, height, firstRow, stride, bgr, error);
}

bool writePng(const std::string& path, int, int, const std::uint8_t*, std::ptrdiff_t, bool,
              std::string* error) {
    if (error)
        *error = "cannot write " + path +
                 ": PNG output is not available in the Windows build (write a .bmp)";
    return false;
}

}  // namespace plat
