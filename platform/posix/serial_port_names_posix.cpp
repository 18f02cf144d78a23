// serial_port_names_posix.cpp — Windows port names on POSIX: COMn mapped to
// a device through section "Ports" of pxcm.ini, else to /dev/ttyS(n-1).
#include <cctype>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/serial_port.h"

namespace plat {
namespace {

// n of "COMn" (any case), or 0.
int comNumber(const std::string& name) {
    if (name.size() < 4) return 0;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 255) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

std::string serialDeviceFor(const std::string& name) {
    const std::string ini = windowsDirectory() + "\\pxcm.ini";
    char mapped[1024] = "";
    profileGetString("Ports", name.c_str(), "", mapped, sizeof mapped, ini.c_str());
    if (mapped[0]) return mapped;
    if (const int n = comNumber(name)) return "/dev/ttyS" + std::to_string(n - 1);
    return name;
}

std::unique_ptr<SerialPort> openSerialPort(const std::string& name, bool* busy) {
    return openSerialDevice(serialDeviceFor(name), busy);
}

}  // namespace plat
