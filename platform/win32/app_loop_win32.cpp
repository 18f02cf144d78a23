// app_loop_win32.cpp — the application's loop over the thread's queue, as
// TWAIN applications run it while a source is enabled.
#include "platform/app_loop.h"

namespace plat {

bool pumpOneMessage(const OfferEvent& offer) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (!offer(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void waitForMessages(int ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms), QS_ALLINPUT);
}

bool deliverWindowMessage(const OfferEvent&, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = GetActiveWindow();
    if (!window) return false;
    // A paint cannot be posted: the window is invalidated and paints itself.
    if (message == WM_PAINT) return InvalidateRect(window, nullptr, FALSE) != 0;
    return PostMessageA(window, message, wParam, lParam) != 0;
}

bool setWindowSystemOptions(const std::string& ui, const std::string& windowPng) {
    return ui.empty() && windowPng.empty();
}

bool windowRunsByItself() {
    return false;
}

bool setWindowScript(const std::string&) {
    return false;
}

bool interactiveDisplay() {
    return true;
}

}  // namespace plat
