// program_posix.cpp — the running program's folder from /proc/self/exe.
#include "platform/program.h"

#include <unistd.h>

#include <climits>

namespace plat {

const char PATH_SEPARATOR = '/';

std::string programDirectory() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string installedSourcePath() {
    return programDirectory() + "/../lib/twain/pxcm/pxcmtwain.ds";
}

}  // namespace plat
