// camera_module.cpp — the static instances of the camera link, its reporter
// and the module-wide link state.
#include "camera/camera_module.h"

namespace {

LinkState g_linkState;
CameraLink g_cameraLink;
CameraMessageReporter g_cameraReporter;

}  // namespace

LinkState& linkState() {
    return g_linkState;
}

void resetLinkState() {
    g_linkState = LinkState{};
}

CameraLink& cameraLink() {
    return g_cameraLink;
}

CameraMessageReporter& cameraErrorReporter() {
    return g_cameraReporter;
}
