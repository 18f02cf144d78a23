// window_posix.cpp — the POSIX window host's dialog-message check. No camera
// window is hosted yet, so no message is ever the window's.
#include "platform/window.h"

namespace plat {

bool isDialogMessage(void* window, void* message) {
    return false;
}

}  // namespace plat

namespace plat {

void destroyWindow(void* window) {}

}  // namespace plat

namespace plat {

void* activeWindow() {
    return nullptr;
}

}  // namespace plat
