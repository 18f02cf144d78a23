// window_actions.cpp — Load, Exit, Select All, Deselect All, HELP and the
// check that the list still matches the camera.
#include <string>
#include <vector>

#include "caps/transfer_count.h"
#include "platform/files.h"
#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/window_front_end.h"
#include "ui/window_handlers.h"

namespace {

constexpr char DIFFERENT_COUNT[] =
    "Camera and TWAIN has different number of photos.\nPlease press Update button in advance "
    "and then try it again.";
constexpr char HELP_FILE[] = "\\Help\\KMT18V16.HLP";
constexpr std::size_t HELP_PATH_BUFFER = 128;

}  // namespace

int selectedCount(int* lowest) {
    int n = 0;
    if (lowest) *lowest = -1;
    for (int i = 0; i < LIST_CELLS; ++i) {
        const ThumbnailCell* held = g_window.list->cell(i);
        if (!held || !held->selected) continue;
        if (lowest && *lowest < 0) *lowest = i;
        ++n;
    }
    return n;
}

bool checkCameraInSync() {
    CameraDevice& link = cameraDevice();
    ThumbnailList& list = *g_window.list;
    const int32_t rememberedCount = link.status().pictureCount;
    const int32_t rememberedFree = link.status().freeFrames;
    auto putBack = [&] { link.setCounts(rememberedCount, rememberedFree); };
    if (link.requestStatus() != LINK_OK) return false;
    const int count = boundedPictureCount();
    if (count != list.count) {
        windowMessage(DIFFERENT_COUNT, plat::Buttons::Ok, plat::Icon::Error);
        putBack();
        return false;
    }
    if (count == 0 || !list.cell(count - 1)) return true;
    if (link.readPictureInfo(count - 1) != LINK_OK) return false;
    if (link.pictureInfo() != list.cell(count - 1)->record) {
        windowMessage(DIFFERENT_PHOTOS, plat::Buttons::Ok, plat::Icon::Error);
        putBack();
        return false;
    }
    return true;
}

void loadSelected() {
    // A Load's pictures still pending are the application's to take first.
    if (frontEndPendingCount() > 0 || !checkCameraInSync()) return;
    // CAP_XFERCOUNT n > 0 hands over the n lowest; the others stay selected.
    const int limit = caps::transferCountLimit();
    std::vector<int> pictures;
    for (int i = 0; i < LIST_CELLS; ++i) {
        const ThumbnailCell* held = g_window.list->cell(i);
        if (!held || !held->selected) continue;
        if (limit > 0 && static_cast<int>(pictures.size()) == limit) break;
        pictures.push_back(i);
    }
    if (pictures.empty()) return;
    g_window.transferIndex = TRANSFER_ALL_SELECTED;
    frontEndAnnounce(pictures);
}

void announcePicture(int picture) {
    if (frontEndPendingCount() > 0) return;
    g_window.transferIndex = picture;
    frontEndAnnounce({picture});
}

void exitWindow() {
    tearDownCameraWindow();
    frontEndCloseRequested();
}

void selectAllPictures() {
    if (!checkCameraInSync()) return;
    g_window.list->selectAll();
}

void deselectAllPictures() {
    g_window.list->deselectAll();
}

void openHelpFile() {
    std::string path = plat::windowsDirectory() + HELP_FILE;
    if (path.size() > HELP_PATH_BUFFER - 1) path.resize(HELP_PATH_BUFFER - 1);
    plat::openHelp(g_window.window, path.c_str());
}
