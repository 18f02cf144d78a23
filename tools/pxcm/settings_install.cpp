// settings_install.cpp — the default dictionary and source-control file,
// compiled in from resources/settings, and the camera window's help page,
// installed on first use.
#include "tools/pxcm/settings_install.h"

#include <filesystem>
#include <fstream>

#include "default_settings.h"
#include "platform/files.h"

namespace pxcm {
namespace {

bool installOne(const std::string& windows, const char* name, const unsigned char* data,
                std::size_t size, std::string* error) {
    const std::string path = windows + "\\" + name;
    if (plat::fileExists(path.c_str())) return true;
    const std::filesystem::path native = plat::nativePath(path.c_str());
    std::error_code ec;
    std::filesystem::create_directories(native.parent_path(), ec);
    std::ofstream out(native, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        if (error) *error = "cannot write " + native.string();
        return false;
    }
    return true;
}

}  // namespace

bool installDefaultSettings(std::string* error) {
    const std::string windows = plat::windowsDirectory();
    return installOne(windows, "pxcm.ini", DEFAULT_PXCM_INI, sizeof DEFAULT_PXCM_INI, error) &&
           installOne(windows, "PXCM.src", DEFAULT_PXCM_SRC, sizeof DEFAULT_PXCM_SRC, error) &&
           installOne(windows, "Help\\KMT18V16.html", DEFAULT_HELP_PAGE, sizeof DEFAULT_HELP_PAGE,
                      error);
}

}  // namespace pxcm
