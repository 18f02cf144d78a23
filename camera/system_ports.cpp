// system_ports.cpp — the port factory of a front end that scans COM1 to COM8:
// Windows port names ("COMn", mapped to a device on POSIX) and device paths.
#include <string>

#include "camera/camera_link.h"
#include "camera/serial_log.h"

namespace {

bool isComName(const std::string& name) {
    return name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
           (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm');
}

}  // namespace

PortFactory systemPortFactory() {
    return [](const std::string& name, bool& busy) -> std::unique_ptr<plat::SerialPort> {
        std::unique_ptr<plat::SerialPort> port = isComName(name)
                                                     ? plat::openSerialPort(name, &busy)
                                                     : plat::openSerialDevice(name, &busy);
        return withSerialLog(std::move(port), name);
    };
}
