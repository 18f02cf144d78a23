// run_settings.h — a private copy of the settings for one run of an
// application, in which COM1 is a given serial device. POSIX: a temporary
// $PXCM_ROOT whose pxcm.ini (a copy of the user's) maps COM1 to the device
// and COM2 to COM8 to nothing, removed again at the end of the run; the
// source-control file is copied along (install the defaults first).
// Windows: not available (the source scans the real COM ports).
#pragma once

#include <memory>
#include <string>

namespace plat {

class RunSettings {
public:
    // Null with a one-line reason when the copy cannot be made.
    static std::unique_ptr<RunSettings> withCom1(const std::string& device, std::string* error);
    ~RunSettings();
    RunSettings(const RunSettings&) = delete;
    RunSettings& operator=(const RunSettings&) = delete;

    struct State;

private:
    explicit RunSettings(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace plat
