// device_ports.cpp — the link's default port factory: device paths only, so
// that a front end that never scans COM names links no settings code.
#include "camera/camera_link.h"
#include "camera/serial_log.h"

PortFactory devicePortFactory() {
    return [](const std::string& path, bool& busy) -> std::unique_ptr<plat::SerialPort> {
        return withSerialLog(plat::openSerialDevice(path, &busy), path);
    };
}
