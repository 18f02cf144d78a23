// window_release.cpp — how MSG_CLOSEDS disposes of the camera window: its
// objects (unless it released them itself), then the window, then every
// trace of it, so that a later enable starts afresh.
#include "source/window_release.h"

#include "platform/window.h"
#include "source/source_state.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"

void releaseCameraWindow() {
    if (!g_window.windowClosed) releaseWindowObjects();
    plat::destroyWindow(g_source.cameraWindow);
    g_source.cameraWindow = nullptr;
    resetCameraWindowState();
    CameraMessageReporter& reporter = cameraErrorReporter();
    reporter.setOwner(nullptr);
    reporter.setRepaintHook(nullptr);
    reporter.setCancelHook(nullptr);
}
