// camera_module.cpp — the static instances of the data source's camera and
// its reporter.
#include "camera/camera_module.h"

#include <memory>

namespace {

CameraMessageReporter g_cameraReporter;
std::unique_ptr<CameraDevice> g_camera = std::make_unique<CameraDevice>();

}  // namespace

CameraDevice& cameraDevice() {
    return *g_camera;
}

CameraMessageReporter& cameraErrorReporter() {
    return g_cameraReporter;
}

void resetCameraDevice() {
    g_camera = std::make_unique<CameraDevice>();
}
