// window_png.cpp — the client area as a PNG at $PXCM_WINDOW_PNG,
// replaced whole by a rename so that a reader never sees half a file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "wsys/window_system.h"

namespace plat {

void writeWindowPng(const HostWindow& window) {
    const char* path = std::getenv("PXCM_WINDOW_PNG");
    if (!path || !*path) return;
    const std::string target = path;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temporary = folder + "." + name + "." + std::to_string(::getpid()) + ".tmp";
    std::string error;
    if (!window.frame.savePng(temporary, &error) ||
        std::rename(temporary.c_str(), target.c_str()) != 0)
        std::remove(temporary.c_str());
}

}  // namespace plat
