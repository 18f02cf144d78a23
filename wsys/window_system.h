// window_system.h — the POSIX window system's windows (an HWND points to one) and
// what the prompt layer and the tests need of the host.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "platform/os_types.h"
#include "platform/prompt.h"
#include "platform/window.h"
#include "wsys/dialog_templates.h"
#include "wsys/surface.h"

namespace plat {

struct SdlWindow;
struct SdlWindowDeleter {
    void operator()(SdlWindow* window) const;
};

struct HostMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct HostWindow {
    const DialogTemplate* form = nullptr;
    FrameSurface frame;
    std::string caption;
    DialogProcedure procedure = nullptr;
    HostWindow* owner = nullptr;
    HINSTANCE module = nullptr;
    bool visible = false;
    bool everShown = false;
    bool painted = false;         // a WM_PAINT has been handled
    bool presentPending = false;  // drawn outside the window's thread, not yet shown
    bool needsPaint = false;
    std::deque<HostMessage> posted;
    int left = 0, top = 0;  // outer rectangle's corner on the screen
    bool placed = false;    // placeWindow has set them
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    // Calls under way on the window (messages, canvases): a window destroyed
    // meanwhile is freed when the last of them returns.
    int pins = 0;
    bool destroyed = false;
    std::unique_ptr<SdlWindow, SdlWindowDeleter> sdl;

    HostWindow(const DialogTemplate* t, int width, int height) : form(t), frame(width, height) {}
};

// The client area's non-client frame on POSIX: an outer rectangle of
// 532 x 426 holds a client area of 526 x 400, as on Windows.
constexpr int FRAME_SIDE = 3;
constexpr int FRAME_TOP = 23;
// A caption the host draws itself (SDL windows of templates that ask for it).
constexpr int DRAWN_CAPTION_HEIGHT = 18;
// The dialog face colour that a new window's client area starts with.
constexpr Color DIALOG_FACE = rgb(192, 192, 192);

// The window behind a handle; null for a handle that is not a live window.
HostWindow* findHostWindow(HWND window);

// True while the windows are on screen through SDL.
bool sdlHostActive();

// Before a box: the active window's (or the owner's) client area goes to
// $PXCM_WINDOW_PNG.
void snapshotBeforeBox(HWND owner);

// A real box over the owner's (or the active) window while SDL is active;
// the MessageBox answer.
int sdlHostMessageBox(HWND owner, const char* text, const char* caption, Buttons buttons,
                      Icon icon);

// The window's client area to $PXCM_WINDOW_PNG when that is set.
void writeWindowPng(const HostWindow& window);

// The POSIX path of the HTML page that stands for a Windows help file.
std::string helpPagePath(const char* helpPath);

// The shape last set, for tests of the headless host.
CursorShape currentCursorShape();

}  // namespace plat
