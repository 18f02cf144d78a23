// about_box.cpp — the About box: the credits picture and the firmware version
// in the caption; any click, Escape or closing ends it.
#include "ui/about_box.h"

#include <cstdio>

#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/layout.h"
#include "ui/window_front_end.h"

namespace {

// "About", 54 blanks, "RISC ver" and the version with one decimal.
constexpr char ABOUT_CAPTION_FORMAT[] =
    "About"
    "                                                      "
    "RISC ver %2.1f";
static_assert(sizeof(ABOUT_CAPTION_FORMAT) == 5 + 54 + 14 + 1, "54 blanks after About");

constexpr INT_PTR ABOUT_CLOSED = 1;

}  // namespace

std::string aboutCaption(double firmwareVersion) {
    char caption[128];
    std::snprintf(caption, sizeof caption, ABOUT_CAPTION_FORMAT, firmwareVersion);
    return caption;
}

INT_PTR CALLBACK AboutBox(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            plat::focusWindow(dialog);
            plat::setWindowCaption(dialog, aboutCaption(cameraDevice().firmwareVersion()).c_str());
            break;
        case WM_CLOSE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            plat::endDialog(dialog, ABOUT_CLOSED);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) plat::endDialog(dialog, ABOUT_CLOSED);
            break;
        default:
            break;
    }
    return FALSE;
}

int openAboutIfClicked(HWND window, WPARAM keys, int x, int y) {
    if (!inside(LOGO_AREA, x, y)) return 0;
    if (!(keys & MK_CONTROL) || !(keys & MK_SHIFT)) return 0;
    (void)plat::runModalDialog(windowFrontEnd().moduleInstance, ABOUT_TEMPLATE, window, AboutBox,
                               0);
    return 1;
}
