// port_scan.cpp — opening COMn with the camera's line format and the scan of
// COM1 to COM8 for the camera.
#include <string>

#include "camera/camera_link.h"
#include "camera/serial_log.h"

namespace {

constexpr int FIRST_PORT = 1;
constexpr int LAST_PORT = 8;
constexpr unsigned AFTER_SCAN_MS = 300;

}  // namespace

PortFactory systemPortFactory() {
    return [](const std::string& name) -> std::unique_ptr<plat::SerialPort> {
        return withSerialLog(plat::openSerialPort(name), name);
    };
}

std::unique_ptr<plat::SerialPort> openPort(const PortFactory& factory, int n) {
    std::unique_ptr<plat::SerialPort> port = factory("COM" + std::to_string(n));
    if (!port) return port;
    plat::LineSettings& settings = linkState().lineSettings;
    if (!port->getLineSettings(settings)) return port;
    settings.baudRate = 9600;
    settings.dataBits = 8;
    settings.parity = plat::Parity::Odd;
    settings.stopBits = plat::StopBits::Two;
    // A port that refuses the format is used with whatever it has.
    (void)port->setLineSettings(settings);
    return port;
}

LinkResult CameraLink::findCamera(CameraErrorReporter* newReporter) {
    LinkState& st = linkState();
    st.foundPort = 0;
    // A port held from an earlier scan cannot be opened twice: let it go so
    // that the scan sees every port afresh.
    closePort();
    for (int n = FIRST_PORT; n <= LAST_PORT; ++n) {
        port = openPort(portFactory_, n);
        if (!port) continue;
        st.scanning = 1;
        if (handshake()) {
            command = 'P';
            writeByte(command);
            writeSeparator();
            if (readStatus()) {
                st.foundPort = n;
                break;
            }
        }
        closePort();
    }
    if (!st.foundPort) {
        // The flag means "a scan is trying a port"; none is any longer.
        st.scanning = 0;
        return LINK_BAD_REPLY;
    }
    reporter = newReporter;
    pause(AFTER_SCAN_MS);
    st.scanning = 0;
    return LINK_OK;
}
