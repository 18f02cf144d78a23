// window_state.cpp — the one camera window's state, its teardown and the
// small helpers that every handler shares.
#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/window_handlers.h"

CameraWindowState g_window;

void resetCameraWindowState() {
    const unsigned life = g_window.life + 1;
    g_window = CameraWindowState{};
    g_window.life = life;
}

int boundedPictureCount() {
    return std::clamp<int>(cameraDevice().status().pictureCount, 0, LIST_CELLS);
}

std::string settingsPath() {
    return plat::windowsDirectory() + "\\pxcm.ini";
}

void releaseWindowObjects() {
    for (SkinButton& button : g_window.buttons) button.destroy();
    g_window.progress.destroy();
    g_window.list.reset();
}

void tearDownCameraWindow() {
    if (g_window.windowClosed) return;
    const std::string code = std::to_string(cameraDevice().lineOptions().speedCode);
    (void)plat::profileWriteString(CAMERA_SECTION, SERIAL_SPEED_KEY, code.c_str(),
                                   settingsPath().c_str());
    releaseWindowObjects();
    g_window.windowClosed = 1;
}

void showFace(int index, bool up) {
    SkinButton& button = g_window.buttons[index];
    if (up)
        button.showUp();
    else
        button.showDown();
    button.draw();
}

int windowMessage(const char* text, plat::Buttons buttons, plat::Icon icon, bool taskModal) {
    plat::PromptOptions options;
    options.buttons = buttons;
    options.icon = icon;
    options.taskModal = taskModal;
    return plat::messageBox(g_window.window, text, WINDOW_CAPTION_BOX, options);
}
