// installed_defaults_posix.cpp — the installed defaults lie under share/pxcm
// of the prefix that the module is installed in.
#include "platform/installed_defaults.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace plat {

std::string installedDefaultsDirectory() {
    Dl_info info{};
    static const char anchor = 0;
    if (!::dladdr(&anchor, &info) || !info.dli_fname || !*info.dli_fname) return {};
    // The name that the module was loaded by may be relative or a link.
    char* real = ::realpath(info.dli_fname, nullptr);
    if (!real) return {};
    const std::filesystem::path module(real);
    std::free(real);
    return (module.parent_path() / "../../../share/pxcm").lexically_normal().string();
}

}  // namespace plat
