// installed_defaults_win32.cpp — the setup program puts the defaults beside
// the installed source.
#include "platform/installed_defaults.h"

#include <windows.h>

namespace plat {

std::string installedDefaultsDirectory() {
    static const char anchor = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            &anchor, &module))
        return {};
    char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path) return {};
    std::string dir(path, n);
    const std::size_t slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash);
}

}  // namespace plat
