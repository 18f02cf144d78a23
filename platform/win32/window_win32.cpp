// window_win32.cpp — the dialog-message check over the application's MSG.
#include <windows.h>

#include "platform/window.h"

namespace plat {

bool isDialogMessage(HWND window, void* message) {
    return window && message && IsDialogMessageA(window, static_cast<MSG*>(message));
}

}  // namespace plat

namespace plat {

void destroyWindow(HWND window) {
    if (window) DestroyWindow(window);
}

}  // namespace plat

namespace plat {

void* activeWindow() {
    return GetActiveWindow();
}

}  // namespace plat
