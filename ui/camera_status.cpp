// camera_status.cpp — battery gauge, mode toggle faces and the speed dots.
#include "ui/camera_status.h"

#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

int batterySlot(int level) {
    switch (level) {
        case 1:
            return 2;  // 208
        case 2:
            return 1;  // 207
        case 3:
            return 3;  // 209
        default:
            return 0;  // 206, crossed out
    }
}

namespace {

// Face and latch of a toggle from its mode; values other than 0 and 1 leave
// both as they were.
void setToggleFromMode(SkinButton& button, int& latch, int mode) {
    if (mode == 0) {
        button.showUp();
        latch = 0;
    } else if (mode == 1) {
        button.showDown();
        latch = 1;
    }
}

}  // namespace

void drawCameraStatus(HWND window) {
    const CameraStatus& status = cameraDevice().status();
    plat::PaintCanvas canvas(window);
    plat::Surface& surface = canvas.surface();
    const plat::Bitmap& battery = g_window.batteries[batterySlot(status.batteryLevel)];
    surface.copyBitmap(BATTERY_X, BATTERY_Y, battery.width(), battery.height(), battery, 0, 0);
    setToggleFromMode(g_window.buttons[BUTTON_MODE_Q], g_window.modeQLatch, status.modeQ);
    g_window.buttons[BUTTON_MODE_Q].draw(surface);
    setToggleFromMode(g_window.buttons[BUTTON_MODE_T], g_window.modeTLatch, status.modeT);
    g_window.buttons[BUTTON_MODE_T].draw(surface);
}

void drawSpeedSelector(HWND window) {
    plat::WindowCanvas canvas(window);
    for (int i = 0; i < 2; ++i)
        canvas.surface().fillRect(SPEED_DOTS[i],
                                  g_window.speedSelection == i ? DOT_LIT : DOT_UNLIT);
}

int hitSpeedSelector(HWND window, int x, int y) {
    int hit = 0;
    if (inside(UPPER_SPEED_SPOT, x, y)) {
        g_window.speedSelection = 0;
        cameraDevice().setSpeedCode(SPEED_56000);
        hit = 1;
    } else if (inside(LOWER_SPEED_SPOT, x, y)) {
        g_window.speedSelection = 1;
        cameraDevice().setSpeedCode(SPEED_115200);
        hit = 1;
    }
    drawSpeedSelector(window);
    return hit;
}
