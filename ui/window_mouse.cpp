// window_mouse.cpp — presses, drags and releases over the skin buttons, the
// speed spots, the logo and the thumbnails; the mouse capture.
#include "platform/window.h"
#include "ui/about_box.h"
#include "ui/camera_module.h"
#include "ui/camera_status.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/window_front_end.h"
#include "ui/window_handlers.h"

namespace {

// The toggle's press: switch the mode on when it shows up and is not
// latched; unlatch when it shows down and is latched. True when the press
// is claimed.
bool pressToggle(int index, int& latch, LinkResult (CameraDevice::*setMode)(uint8_t)) {
    SkinButton& button = g_window.buttons[index];
    if (button.isUp() && latch == 0) {
        if ((cameraDevice().*setMode)(1) == LINK_OK) {
            showFace(index, false);
            latch = 1;
        }
        return true;
    }
    if (!button.isUp() && latch == 1) {
        latch = 0;
        return true;
    }
    return false;
}

// The toggle's release while unlatched: switch the mode off.
void releaseToggle(int index, LinkResult (CameraDevice::*setMode)(uint8_t)) {
    if ((cameraDevice().*setMode)(0) == LINK_OK) showFace(index, true);
}

void runAction(int index) {
    switch (index) {
        case BUTTON_LOAD:
            loadSelected();
            break;
        case BUTTON_EXIT:
            exitWindow();
            break;
        case BUTTON_SELECT_ALL:
            selectAllPictures();
            break;
        case BUTTON_DESELECT_ALL:
            deselectAllPictures();
            break;
        case BUTTON_UPDATE:
            updateFromCamera();
            break;
        case BUTTON_SHOT:
            takeShot();
            break;
        case BUTTON_DELETE:
            deleteSelected();
            break;
        case BUTTON_HELP:
            openHelpFile();
            break;
        default:
            break;  // the scroll buttons scrolled on release already
    }
}

}  // namespace

void onLButtonDown(HWND window, WPARAM keys, int x, int y) {
    if (openAboutIfClicked(window, keys, x, y)) return;
    if (hitSpeedSelector(window, x, y)) return;
    for (const ButtonLayout& b : BUTTON_TABLE) {
        if (!g_window.buttons[b.index].contains(x, y)) continue;
        if (b.kind == ButtonKind::Push) {
            plat::captureMouse(window);
            showFace(b.index, false);
            g_window.capturedButton = b.index;
            continue;
        }
        const bool claimed =
            b.index == BUTTON_MODE_T
                ? pressToggle(b.index, g_window.modeTLatch, &CameraDevice::setTimerMode)
                : pressToggle(b.index, g_window.modeQLatch, &CameraDevice::setQualityMode);
        if (claimed) return;
    }
}

void onMouseMove(WPARAM keys, int x, int y) {
    const int captured = g_window.capturedButton;
    if (captured >= 0 && keys == MK_LBUTTON)
        showFace(captured, !g_window.buttons[captured].contains(x, y));
    if (g_window.list) g_window.list->trackHover(x, y);
}

void onLButtonUp(int x, int y) {
    const int released = releasedButtonAt(x, y);
    g_window.list->scrollList(released);
    onButtonReleased(released);
    // An action may have ended the window's objects (Exit, or an application
    // that closed the source from inside a notification).
    if (released == BUTTON_EXIT || g_window.windowClosed || !g_window.list) return;
    const int picture = g_window.list->hitTest(x, y);
    if (picture != NO_PICTURE) g_window.list->toggleSelection(picture);
}

void onButtonReleased(int index) {
    if (index == BUTTON_MODE_T && g_window.modeTLatch == 0) {
        releaseToggle(BUTTON_MODE_T, &CameraDevice::setTimerMode);
        return;
    }
    if (index == BUTTON_MODE_Q && g_window.modeQLatch == 0) {
        releaseToggle(BUTTON_MODE_Q, &CameraDevice::setQualityMode);
        return;
    }
    if (index != g_window.capturedButton) return;
    showFace(index, true);
    g_window.capturedButton = -1;
    runAction(index);
}

void onCaptureChanged() {
    if (g_window.capturedButton != -1) showFace(g_window.capturedButton, true);
}

void onLButtonDblClk(int x, int y) {
    const int picture = g_window.list->hitTest(x, y);
    if (picture == NO_PICTURE || frontEndPendingCount() > 0 || !checkCameraInSync()) return;
    announcePicture(picture);
}
