// window_shot.cpp — Shot: take a picture and bring its row into view.
#include "ui/camera_module.h"
#include "ui/camera_status.h"
#include "ui/camera_window.h"
#include "ui/wait_cursor.h"
#include "ui/window_handlers.h"

void takeShot() {
    if (!checkCameraInSync()) return;
    CameraDevice& link = cameraDevice();
    if (link.status().freeFrames == 0) {
        windowMessage("Camera memory is already full.\nCamera cannot make new photo",
                      plat::Buttons::Ok, plat::Icon::Error);
        return;
    }
    ThumbnailList& list = *g_window.list;
    drawStatusLine("Camera is processing the picture...");
    WaitCursor wait;
    const int before = list.count;
    if (link.takePicture() == LINK_OK) {
        if (before - list.firstVisible > PAGE_SLOTS - 1)
            list.firstVisible = static_cast<uint8_t>((before - PAGE_SLOTS) / 4 * 4 + 4);
        list.reloadPage();
    }
    drawCameraStatus(g_window.window);
    clearStatusLine(SHOT_CLEAR_BLANKS);
}
