// window.h — the window host: the camera window and the About box as dialogs
// of the module, their messages, mouse capture, cursors, drawing on their
// client area and the help call. Windows: real dialogs from the module's
// templates. POSIX: an SDL2 window over a framebuffer when a display is
// there, else a headless window; both feed Win32-numbered messages to the
// same dialog procedures (see platform/os_types.h).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/os_types.h"
#include "platform/surface.h"

namespace plat {

// --- Dialogs -------------------------------------------------------------------

// A modeless dialog from the module's template `templateName`, without owner,
// with `procedure`; WM_INITDIALOG (lParam = param) reaches the procedure
// before this returns. Null when the window cannot be created.
HWND createModelessDialog(HINSTANCE module, const char* templateName, DialogProcedure procedure,
                          LPARAM param);

// A modal dialog from the module's template `templateId`, owned by `owner`;
// returns the result given to endDialog, -1 when it cannot be shown.
INT_PTR runModalDialog(HINSTANCE module, int templateId, HWND owner, DialogProcedure procedure,
                       LPARAM param);
void endDialog(HWND dialog, INT_PTR result);

// POSIX: what TW_EVENT.pEvent points to, a Win32 message number with its
// Win32 packing (natural C alignment: offsets 0, 8 and 16 on 64-bit).
struct EventRecord {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// MSG_PROCESSEVENT's question. Windows: IsDialogMessage with the
// application's MSG. POSIX: `message` is the {message, wParam, lParam} record
// of the window contract, handled on the window's thread before this
// returns, or null to take one message from the window's own queue (posted
// messages, SDL input, a pending WM_PAINT) without waiting for any; true
// when a message was handled (a record is always the window's).
bool isDialogMessage(HWND window, void* message);

void destroyWindow(HWND window);
void showWindow(HWND window, bool show);
bool windowVisible(HWND window);
void setWindowCaption(HWND window, const char* text);
// Outer rectangle in screen pixels (caption and frame included).
void placeWindow(HWND window, int left, int top, int width, int height);
void screenSize(int* width, int* height);
void focusWindow(HWND window);
// PostMessage: the message is handled later, when the application's message
// loop turns (on POSIX: by the window's thread when the window runs by itself,
// on screen or scripted, else at the next MSG_PROCESSEVENT).
bool postWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// RedrawWindow with an update now: the window gets WM_PAINT before this
// returns.
void repaintWindow(HWND window);

// The active window of the calling thread (the owner of boxes that belong to
// whatever the user is looking at); none when there is no window host.
void* activeWindow();

// --- Mouse capture and cursors ---------------------------------------------------

void captureMouse(HWND window);
// Sends WM_CAPTURECHANGED to the window that held the capture.
void releaseMouse();

enum class CursorShape { Arrow, Wait };
using CursorHandle = void*;
// Sets the shape and returns the cursor replaced, for restoreCursor.
CursorHandle setCursorShape(CursorShape shape);
void restoreCursor(CursorHandle previous);

// --- Drawing on the client area ----------------------------------------------------

// GetDC / ReleaseDC: drawing straight onto the client area for the lifetime
// of the object. POSIX: into the framebuffer, shown on screen (SDL) when the
// canvas goes.
class WindowCanvas {
public:
    explicit WindowCanvas(HWND window);
    ~WindowCanvas();
    WindowCanvas(const WindowCanvas&) = delete;
    WindowCanvas& operator=(const WindowCanvas&) = delete;
    // False when no drawing context could be had; surface() is then a
    // surface that draws nothing.
    bool valid() const;
    Surface& surface();

    struct Impl;

protected:
    WindowCanvas(HWND window, bool paint);

private:
    std::unique_ptr<Impl> impl_;
};

// BeginPaint / EndPaint: as WindowCanvas, and the window's pending update
// region is validated.
class PaintCanvas : public WindowCanvas {
public:
    explicit PaintCanvas(HWND window) : WindowCanvas(window, true) {}
};

// --- Help --------------------------------------------------------------------------

// Windows: WinHelp(owner, path, HELP_CONTENTS, 0). POSIX: the HTML help page
// installed with the settings, opened with xdg-open when a display is there.
void openHelp(HWND owner, const char* helpPath);

}  // namespace plat
