// run_settings_posix.cpp — a temporary $PXCM_ROOT with the user's settings
// and a [Ports] section that leads the scan to one device.
#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/run_settings.h"

namespace fs = std::filesystem;

namespace plat {

struct RunSettings::State {
    std::string root;
    bool hadRoot = false;
    std::string savedRoot;
};

RunSettings::RunSettings(std::unique_ptr<State> state) : state_(std::move(state)) {}

RunSettings::~RunSettings() {
    if (state_->hadRoot)
        setenv("PXCM_ROOT", state_->savedRoot.c_str(), 1);
    else
        unsetenv("PXCM_ROOT");
    std::error_code ec;
    fs::remove_all(state_->root, ec);
}

std::unique_ptr<RunSettings> RunSettings::withCom1(const std::string& device, std::string* error) {
    const fs::path userWindows = nativePath(windowsDirectory().c_str());
    std::string pattern = tempDirectory() + "pxcm-run-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        if (error) *error = "cannot make a temporary settings folder in " + tempDirectory();
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->root = pattern;
    if (const char* root = getenv("PXCM_ROOT")) {
        state->hadRoot = true;
        state->savedRoot = root;
    }
    std::unique_ptr<RunSettings> settings(new RunSettings(std::move(state)));

    const fs::path windows = fs::path(pattern) / "windows";
    std::error_code ec;
    fs::create_directories(windows, ec);
    for (const char* name : {"pxcm.ini", "PXCM.src"})
        if (fs::exists(userWindows / name, ec))
            fs::copy_file(userWindows / name, windows / name, ec);
    setenv("PXCM_ROOT", pattern.c_str(), 1);

    const std::string ini = windowsDirectory() + "\\pxcm.ini";
    bool written = profileWriteString("Ports", "COM1", device.c_str(), ini.c_str());
    for (int n = 2; n <= 8 && written; ++n) {
        const std::string none = pattern + "/no-port-" + std::to_string(n);
        written = profileWriteString("Ports", ("COM" + std::to_string(n)).c_str(), none.c_str(),
                                     ini.c_str());
    }
    if (!written) {
        if (error) *error = "cannot write the temporary settings in " + pattern;
        return nullptr;
    }
    return settings;
}

}  // namespace plat
