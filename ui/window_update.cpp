// window_update.cpp — Update: re-read the camera, keep the thumbnails that
// did not change, fetch the rest again.
#include "ui/camera_module.h"
#include "ui/camera_status.h"
#include "ui/camera_window.h"
#include "ui/window_handlers.h"

void updateFromCamera() {
    CameraDevice& link = cameraDevice();
    ThumbnailList& list = *g_window.list;
    (void)link.readFirmwareVersion();
    drawStatusLine("Updating camera info. Please wait...");
    const int remembered = list.count;
    (void)list.refreshFromCamera();
    drawCameraStatus(g_window.window);
    list.firstVisible = 0;
    list.reloadPage();
    if (g_window.continueLoading && list.count > PAGE_SLOTS) preloadPages();
    list.deselectAll();
    clearStatusLine(STATUS_CLEAR_BLANKS);
    if (!g_window.continueLoading) return;
    for (int i = list.count; i < remembered; ++i) list.dropCell(i);
}
