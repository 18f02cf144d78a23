// window_init.cpp — WM_INITDIALOG: settings, list and buttons, firmware
// version, camera clock, caption, skin pictures, progress bar, placement.
#include <ctime>

#include "platform/profile.h"
#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/skin_source.h"
#include "ui/window_front_end.h"
#include "ui/window_handlers.h"

namespace {

constexpr char WINDOW_CAPTION[] = " Vantrel Digital Camera KMT-18/19 TWAIN Driver ver 1.6";
constexpr int BATTERY_IDS[4] = {BITMAP_BATTERY_EMPTY, BITMAP_BATTERY_HALF, BITMAP_BATTERY_FULL,
                                BITMAP_BATTERY_LOW};

void readCameraSettings() {
    const LineOptions options = readLineOptions(settingsPath());
    cameraDevice().setLineOptions(options);
    g_window.speedSelection = options.speedCode == SPEED_115200 ? 1 : 0;
}

ClockBytes localClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    return clockBytes(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min);
}

// Faces, background, battery pictures and the status font; false when any
// of them cannot be had.
bool loadSkin(HWND window) {
    HINSTANCE module = windowFrontEnd().moduleInstance;
    bool complete = true;
    for (const ButtonLayout& b : BUTTON_TABLE)
        if (g_window.buttons[b.index].initialise(window, module, b.upFace, b.downFace, b.rect) != 0)
            complete = false;
    g_window.background = skinPicture(module, BITMAP_BACKGROUND);
    if (g_window.background.width() == 0) complete = false;
    for (int i = 0; i < 4; ++i) {
        g_window.batteries[i] = skinPicture(module, BATTERY_IDS[i]);
        if (g_window.batteries[i].width() == 0) complete = false;
    }
    g_window.statusFont = plat::createFont(plat::FontFace::StatusSans);
    if (!g_window.statusFont) complete = false;
    return complete;
}

void centreAndShow(HWND window) {
    int width = 0, height = 0;
    plat::screenSize(&width, &height);
    plat::placeWindow(window, width / 2 - WINDOW_WIDTH / 2, height / 2 - WINDOW_HEIGHT / 2,
                      WINDOW_WIDTH, WINDOW_HEIGHT);
    plat::showWindow(window, true);
}

}  // namespace

void initCameraWindow(HWND window) {
    resetCameraWindowState();
    g_window.window = window;
    readCameraSettings();
    g_window.list = std::make_unique<ThumbnailList>(window);
    CameraDevice& link = cameraDevice();
    {
        BusyGuard busy;
        (void)link.readFirmwareVersion();
        (void)link.setCameraClock(localClock());
    }
    plat::setWindowCaption(window, WINDOW_CAPTION);
    g_window.initialLoadPending = 1;
    const bool complete = loadSkin(window);
    g_window.progress.create(window, PROGRESS_RECT);
    centreAndShow(window);
    g_window.initFailed = complete && g_window.list->valid() ? 0 : 1;
}
