// png_file_win32.cpp — the Windows build writes no PNG files.
#include "platform/png_file.h"

namespace plat {

bool writePng(const std::string& path, int, int, const std::uint8_t*, std::ptrdiff_t, bool,
              std::string* error) {
    if (error)
        *error = "cannot write " + path +
                 ": PNG output is not available in the Windows build (write a .bmp)";
    return false;
}

}  // namespace plat
