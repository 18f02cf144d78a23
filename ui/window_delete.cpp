// window_delete.cpp — Delete: the selected pictures go on the camera, from
// the highest index down, so that renumbering moves none still to go.
#include <cstdio>

#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_status.h"
#include "ui/camera_window.h"
#include "ui/wait_cursor.h"
#include "ui/window_handlers.h"

namespace {

// Deletes the selected pictures from the top down to `lowest`, dropping the
// cells on the way; false when a deletion failed. `remaining` counts down.
bool deleteFromTop(int lowest, int& remaining) {
    CameraDevice& link = cameraDevice();
    ThumbnailList& list = *g_window.list;
    int deleted = 0;
    for (int i = list.count - 1; i >= lowest; --i) {
        const ThumbnailCell* held = list.cell(i);
        if (held && held->selected) {
            if (link.deletePicture(i) != LINK_OK) return false;
            g_window.progress.setPosition(++deleted);
            --remaining;
        }
        list.dropCell(i);
        --list.count;
    }
    return true;
}

}  // namespace

void deleteSelected() {
    int lowest = -1;
    int n = selectedCount(&lowest);
    if (n == 0) return;
    if (!checkCameraInSync()) return;
    const int answer = windowMessage("Do you really want\n to delete all selected images ?",
                                     plat::Buttons::OkCancel, plat::Icon::Question);
    plat::repaintWindow(g_window.window);
    if (answer != plat::ANSWER_OK) return;

    WaitCursor wait;
    g_window.progress.setMaximum(n);
    g_window.progress.setPosition(0);
    char status[64];
    std::snprintf(status, sizeof status, "Selected %i images are deleted...", n);
    drawStatusLine(status);

    ThumbnailList& list = *g_window.list;
    const bool complete = deleteFromTop(lowest, n);
    g_window.progress.setPosition(0);
    if (!complete || n != 0) {
        windowMessage("Error happened when deleting.\nPlease check camera and press Update Button",
                      plat::Buttons::Ok, plat::Icon::Error);
        clearStatusLine(STATUS_CLEAR_BLANKS);
        drawCameraStatus(g_window.window);
        return;
    }
    drawStatusLine("Updating after deletion. Please wait...");
    (void)list.refreshFromCamera();
    list.firstVisible = 0;
    list.reloadPage();
    if (g_window.continueLoading && list.count > PAGE_SLOTS) preloadPages();
    clearStatusLine(STATUS_CLEAR_BLANKS);
    drawCameraStatus(g_window.window);
}
