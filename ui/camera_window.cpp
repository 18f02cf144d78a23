// camera_window.cpp — the camera window's dialog procedure: a thin switch
// that writes each message's trace line and hands it to its handler.
#include "ui/camera_window.h"

#include "platform/trace.h"
#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/layout.h"
#include "ui/window_front_end.h"
#include "ui/window_handlers.h"

namespace {

constexpr char TRACE_INITDIALOG[] = "(SLB ) : WM_INITDIALOG";
constexpr char TRACE_PAINT[] = "(SLB ) : WM_PAINT";
constexpr char TRACE_CLOSE[] = "(SLB ) : WM_CLOSE";
constexpr char TRACE_KEYDOWN[] = "(SLB ) : WM_KEYDOWN";
constexpr char TRACE_LBUTTONDOWN[] = "(SLB ) : WM_LBUTTONDOWN";
constexpr char TRACE_LBUTTONUP[] = "(SLB ) : WM_LBUTTONUP";
constexpr char TRACE_LBUTTONDBLCLK[] = "(SLB ) : WM_LBUTTONDBLCLK";
constexpr char TRACE_CAPTURECHANGED[] = "(SLB ) : WM_CAPTURECHANGED";
constexpr char TRACE_TIMER[] = "(SLB ) : WM_TIMER";

// Input that may talk to the camera: not after teardown, and not inside an
// exchange already under way (a box's nested message loop).
bool acceptsCameraInput() {
    return !g_window.windowClosed && g_window.busy == 0;
}

}  // namespace

void onClose() {
    if (g_window.busy > 0) {
        g_window.closePending = 1;
        return;
    }
    tearDownCameraWindow();
    frontEndCloseRequested();
}

void onKeyDown(WPARAM key) {
    int command;
    switch (key) {
        case VK_PRIOR:
            command = SCROLL_PAGE_UP;
            break;
        case VK_NEXT:
            command = SCROLL_PAGE_DOWN;
            break;
        case VK_HOME:
            command = SCROLL_HOME;
            break;
        case VK_END:
            command = SCROLL_END;
            break;
        case VK_UP:
            command = SCROLL_ROW_UP;
            break;
        case VK_DOWN:
            command = SCROLL_ROW_DOWN;
            break;
        default:
            return;
    }
    g_window.list->scrollList(command);
}

INT_PTR CALLBACK CameraWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = pointX(lParam);
    const int y = pointY(lParam);
    switch (message) {
        case WM_INITDIALOG:
            TraceLog(TRACE_INITDIALOG);
            initCameraWindow(window);
            break;
        case WM_PAINT:
            if (g_window.initialLoadPending) TraceLog(TRACE_PAINT);
            onPaint(window);
            break;
        case WM_CLOSE:
            TraceLog(TRACE_CLOSE);
            onClose();
            break;
        case WM_KEYDOWN:
            TraceLog(TRACE_KEYDOWN);
            if (acceptsCameraInput()) {
                BusyGuard busy;
                onKeyDown(wParam);
            }
            break;
        case WM_LBUTTONDOWN:
            TraceLog(TRACE_LBUTTONDOWN);
            if (acceptsCameraInput()) {
                BusyGuard busy;
                onLButtonDown(window, wParam, x, y);
            }
            break;
        case WM_MOUSEMOVE:
            if (!g_window.windowClosed) onMouseMove(wParam, x, y);
            break;
        case WM_LBUTTONUP:
            TraceLog(TRACE_LBUTTONUP);
            plat::releaseMouse();
            if (acceptsCameraInput()) {
                BusyGuard busy;
                onLButtonUp(x, y);
            }
            break;
        case WM_LBUTTONDBLCLK:
            TraceLog(TRACE_LBUTTONDBLCLK);
            if (acceptsCameraInput()) {
                BusyGuard busy;
                onLButtonDblClk(x, y);
            }
            break;
        case WM_CAPTURECHANGED:
            TraceLog(TRACE_CAPTURECHANGED);
            if (!g_window.windowClosed) onCaptureChanged();
            break;
        case WM_TIMER:
            TraceLog(TRACE_TIMER);
            break;
        default:
            return FALSE;
    }
    // A close asked for inside an exchange runs once the exchange is over.
    if (g_window.closePending && g_window.busy == 0) {
        g_window.closePending = 0;
        onClose();
    }
    return TRUE;
}
