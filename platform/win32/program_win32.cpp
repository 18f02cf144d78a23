// program_win32.cpp — the running program's folder from its module name.
#include <windows.h>

#include "platform/program.h"

namespace plat {

const char PATH_SEPARATOR = '\\';

std::string programDirectory() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".";
    std::string path(buf, n);
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string installedSourcePath() {
    char buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return {};
    std::string dir(buf, n);
    if (dir.back() != '\\') dir += '\\';
    return dir + (sizeof(void*) == 8 ? "twain_64" : "twain_32") + "\\pxcm\\pxcmtwain.ds";
}

}  // namespace plat
