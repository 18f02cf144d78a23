// camera_window.h — the camera window: its dialog procedure and the state
// that the window, the thumbnail list and the acquisition step share.
#pragma once

#include <memory>

#include "platform/os_types.h"
#include "platform/surface.h"
#include "ui/layout.h"
#include "ui/skin_controls.h"
#include "ui/thumbnail_list.h"

constexpr int TRANSFER_ALL_SELECTED = 999999;
constexpr char CAMERA_WINDOW_TEMPLATE[] = "TW_FILE_LB";

// The window's state: one set for the one window.
struct CameraWindowState {
    HWND window = nullptr;
    SkinButton buttons[LAYOUT_BUTTONS];
    std::unique_ptr<ThumbnailList> list;
    ProgressBar progress;
    plat::Bitmap background;
    plat::Bitmap batteries[4];  // 206, 207, 208, 209
    std::unique_ptr<plat::Font> statusFont;
    int capturedButton = -1;
    int modeTLatch = 0;
    int modeQLatch = 0;
    int speedSelection = 0;
    int transferIndex = TRANSFER_ALL_SELECTED;
    int windowClosed = 0;
    // Depth of camera exchanges under way: nested message loops (boxes)
    // paint from cached thumbnails and start no exchange while it is set.
    int busy = 0;
    // A face, the background, a font or the list's pictures could not be
    // had at WM_INITDIALOG: the window cannot work.
    int initFailed = 0;
    // WM_CLOSE arrived inside an exchange: closed when the exchange ends.
    int closePending = 0;
    // 1 while the first page of thumbnails has not been loaded: a failed
    // thumbnail then only leaves a blank cell, untold.
    int initialLoadPending = 0;
    // Cleared when the user answers Cancel to a box of the link (the
    // reporter's cancel hook): the loading loops stop.
    int continueLoading = 1;
    // Which window's life this is: a new one at each reset.
    unsigned life = 0;
};

extern CameraWindowState g_window;

// Raises `busy` for its lifetime: wraps every camera exchange of the window.
// The depth is the window's own: a window made again meanwhile (disabled and
// enabled from inside a notification) starts at 0 and keeps it.
class BusyGuard {
public:
    BusyGuard() : life_(g_window.life) { ++g_window.busy; }
    ~BusyGuard() {
        if (g_window.life == life_) --g_window.busy;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    unsigned life_;
};

// The dialog procedure of the camera window template.
INT_PTR CALLBACK CameraWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The status line: text at (10,378), black on RGB(204,204,204).
void drawStatusLine(const char* text);
// Blanks the status line with `spaces` blanks.
void clearStatusLine(int spaces);

// Teardown: writes SERIAL_SPEED and deletes the window's objects (once).
void tearDownCameraWindow();
// Deletes the buttons, the progress bar and the list without writing the
// settings (MSG_CLOSEDS, or a window that could not be set up).
void releaseWindowObjects();
// The link's picture count, bounded to what the list can hold.
int boundedPictureCount();
// Back to the state at load (tests).
void resetCameraWindowState();
