// window_win32.cpp — the window host on Windows: real dialogs from the
// module's templates, the application's MSG through IsDialogMessage, GDI
// canvases, capture, cursors and WinHelp.
#include <windows.h>

#include "platform/null_surface.h"
#include "platform/win32/surface_win32.h"
#include "platform/window.h"

namespace plat {

// --- Dialogs -------------------------------------------------------------------

HWND createModelessDialog(HINSTANCE module, const char* templateName, DialogProcedure procedure,
                          LPARAM param) {
    return CreateDialogParamA(module, templateName, nullptr, procedure, param);
}

INT_PTR runModalDialog(HINSTANCE module, int templateId, HWND owner, DialogProcedure procedure,
                       LPARAM param) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, procedure, param);
}

void endDialog(HWND dialog, INT_PTR result) {
    if (dialog) EndDialog(dialog, result);
}

bool isDialogMessage(HWND window, void* message) {
    return window && message && IsDialogMessageA(window, static_cast<MSG*>(message));
}

void destroyWindow(HWND window) {
    if (window) DestroyWindow(window);
}

void showWindow(HWND window, bool show) {
    if (window) ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

bool windowVisible(HWND window) {
    return window && IsWindowVisible(window);
}

void setWindowCaption(HWND window, const char* text) {
    if (window) SetWindowTextA(window, text ? text : "");
}

void placeWindow(HWND window, int left, int top, int width, int height) {
    if (window) MoveWindow(window, left, top, width, height, TRUE);
}

void screenSize(int* width, int* height) {
    if (width) *width = GetSystemMetrics(SM_CXSCREEN);
    if (height) *height = GetSystemMetrics(SM_CYSCREEN);
}

void focusWindow(HWND window) {
    if (window) SetFocus(window);
}

bool postWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window && PostMessageA(window, message, wParam, lParam);
}

void repaintWindow(HWND window) {
    if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void* activeWindow() {
    return GetActiveWindow();
}

// --- Mouse capture and cursors ---------------------------------------------------

void captureMouse(HWND window) {
    if (window) SetCapture(window);
}

void releaseMouse() {
    ReleaseCapture();
}

CursorHandle setCursorShape(CursorShape shape) {
    HCURSOR cursor = LoadCursor(nullptr, shape == CursorShape::Wait ? IDC_WAIT : IDC_ARROW);
    return SetCursor(cursor);
}

void restoreCursor(CursorHandle previous) {
    SetCursor(static_cast<HCURSOR>(previous));
}

// --- Drawing on the client area ----------------------------------------------------

struct WindowCanvas::Impl {
    HWND window = nullptr;
    bool paint = false;
    HDC dc = nullptr;
    PAINTSTRUCT ps{};
    std::unique_ptr<DcSurface> surface;
    NullSurface nothing;
};

WindowCanvas::WindowCanvas(HWND window) : WindowCanvas(window, false) {}

WindowCanvas::WindowCanvas(HWND window, bool paint) : impl_(std::make_unique<Impl>()) {
    impl_->window = window;
    impl_->paint = paint;
    if (!window) return;
    impl_->dc = paint ? BeginPaint(window, &impl_->ps) : GetDC(window);
    if (impl_->dc) impl_->surface = std::make_unique<DcSurface>(impl_->dc);
}

WindowCanvas::~WindowCanvas() {
    if (!impl_->window) return;
    impl_->surface.reset();
    if (impl_->paint)
        EndPaint(impl_->window, &impl_->ps);  // also after a failed BeginPaint, as GDI expects
    else if (impl_->dc)
        ReleaseDC(impl_->window, impl_->dc);
}

bool WindowCanvas::valid() const {
    return impl_->surface != nullptr;
}

Surface& WindowCanvas::surface() {
    if (impl_->surface) return *impl_->surface;
    return impl_->nothing;
}

// --- Help --------------------------------------------------------------------------

void openHelp(HWND owner, const char* helpPath) {
    if (helpPath) WinHelpA(owner, helpPath, HELP_CONTENTS, 0);
}

}  // namespace plat
