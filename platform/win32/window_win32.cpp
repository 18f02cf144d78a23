// window_win32.cpp — the dialog-message check over the application's MSG.
#include <windows.h>

#include "platform/window.h"

namespace plat {

bool isDialogMessage(void* window, void* message) {
    return window && message &&
           IsDialogMessageA(static_cast<HWND>(window), static_cast<MSG*>(message));
}

}  // namespace plat

namespace plat {

void destroyWindow(void* window) {
    if (window) DestroyWindow(static_cast<HWND>(window));
}

}  // namespace plat

namespace plat {

void* activeWindow() {
    return GetActiveWindow();
}

}  // namespace plat
