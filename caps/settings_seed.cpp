// settings_seed.cpp — copying the installed default settings files into
// the Windows directory on the source's first use.
#include "caps/settings_seed.h"

#include "caps/settings_files.h"
#include "platform/files.h"

namespace caps {
namespace {

// Each installed file and where the user's copy lives in the Windows
// directory.
struct Seed {
    const char* installed;
    const char* mine;
};
constexpr Seed SEEDS[] = {
    {DICTIONARY_FILE_NAME, DICTIONARY_FILE_NAME},
    {DEFAULT_SOURCE_CONTROL_NAME, DEFAULT_SOURCE_CONTROL_NAME},
    {"\\KMT18V16.html", "\\Help\\KMT18V16.html"},
};

}  // namespace

int seedDefaultSettings(const std::string& defaultsDir) {
    if (defaultsDir.empty()) return 0;
    const std::string windows = plat::windowsDirectory();
    int copied = 0;
    for (const Seed& seed : SEEDS) {
        const std::string mine = windows + seed.mine;
        if (plat::fileExists(mine.c_str())) continue;
        const std::string installed = defaultsDir + seed.installed;
        if (plat::fileCopyIfMissing(installed.c_str(), mine.c_str())) ++copied;
    }
    return copied;
}

}  // namespace caps
