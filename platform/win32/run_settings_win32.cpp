// run_settings_win32.cpp — Windows has its COM ports: no mapping to make.
#include "platform/run_settings.h"

namespace plat {

struct RunSettings::State {};

RunSettings::RunSettings(std::unique_ptr<State> state) : state_(std::move(state)) {}
RunSettings::~RunSettings() = default;

std::unique_ptr<RunSettings> RunSettings::withCom1(const std::string&, std::string* error) {
    if (error) *error = "--port is not available on Windows: the source scans COM1 to COM8";
    return nullptr;
}

}  // namespace plat
