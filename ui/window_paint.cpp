// window_paint.cpp — WM_PAINT: background, buttons, camera status, progress
// bar, speed dots, the visible page and the first preload of thumbnails.
#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_status.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/window_handlers.h"

namespace {

void drawBackgroundAndButtons(HWND window, bool withToggles) {
    plat::WindowCanvas canvas(window);
    plat::Surface& surface = canvas.surface();
    surface.copyBitmap(0, 0, BACKGROUND_WIDTH, BACKGROUND_HEIGHT, g_window.background, 0, 0);
    for (int i = 0; i < LAYOUT_BUTTONS; ++i) {
        if (!withToggles && (i == BUTTON_MODE_T || i == BUTTON_MODE_Q)) continue;
        g_window.buttons[i].draw(surface);
    }
}

// Inside a camera exchange: what is held already, nothing asked of the
// camera and no state changed.
void paintFromCache(HWND window) {
    drawBackgroundAndButtons(window, true);
    {
        plat::PaintCanvas canvas(window);
        const plat::Bitmap& battery =
            g_window.batteries[batterySlot(cameraDevice().status().batteryLevel)];
        canvas.surface().copyBitmap(BATTERY_X, BATTERY_Y, battery.width(), battery.height(),
                                    battery, 0, 0);
    }
    g_window.progress.draw(true);
    drawSpeedSelector(window);
    if (g_window.list) g_window.list->drawCachedPage();
}

}  // namespace

void preloadPages() {
    ThumbnailList& list = *g_window.list;
    for (int k = 1; k < (list.count - 1) / 4 - 1; ++k) {
        list.firstVisible = static_cast<uint8_t>(4 * k);
        if (!list.reloadPage()) break;
    }
}

void onPaint(HWND window) {
    if (g_window.windowClosed) {
        // Validate only, or the window would be asked to paint for ever.
        plat::PaintCanvas canvas(window);
        return;
    }
    if (g_window.busy > 0) {
        paintFromCache(window);
        return;
    }
    BusyGuard busy;
    drawBackgroundAndButtons(window, false);
    drawCameraStatus(window);
    g_window.progress.draw(true);
    drawSpeedSelector(window);
    ThumbnailList& list = *g_window.list;
    list.reloadPage();
    if (g_window.continueLoading && list.count > PAGE_SLOTS && g_window.initialLoadPending) {
        preloadPages();
        g_window.initialLoadPending = 0;
    }
}
