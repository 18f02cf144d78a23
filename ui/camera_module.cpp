// camera_module.cpp — the static instances of the data source's camera and
// its reporter.
#include "ui/camera_module.h"

#include <memory>

namespace {

// The source scans COM1 to COM8: its camera knows the port names.
std::unique_ptr<CameraDevice> newCamera() {
    auto camera = std::make_unique<CameraDevice>();
    camera->link().setPortFactory(systemPortFactory());
    return camera;
}

CameraMessageReporter g_cameraReporter;
std::unique_ptr<CameraDevice> g_camera = newCamera();

}  // namespace

CameraDevice& cameraDevice() {
    return *g_camera;
}

CameraMessageReporter& cameraErrorReporter() {
    return g_cameraReporter;
}

void resetCameraDevice() {
    g_camera = newCamera();
}
