// window_release.cpp — destroys the camera window and forgets it.
#include "source/window_release.h"

#include "platform/window.h"
#include "source/source_state.h"

void releaseCameraWindow() {
    plat::destroyWindow(g_source.cameraWindow);
    g_source.cameraWindow = nullptr;
}
