// window_handlers.h — the camera window's message handlers and actions, one
// small function each, reached from the dialog procedure's switch.
#pragma once

#include "camera/line_settings_file.h"

#include <string>

#include "platform/os_types.h"
#include "platform/prompt.h"

// Messages.
void initCameraWindow(HWND window);
void onPaint(HWND window);
void onClose();
void onKeyDown(WPARAM key);
void onLButtonDown(HWND window, WPARAM keys, int x, int y);
void onMouseMove(WPARAM keys, int x, int y);
void onLButtonUp(int x, int y);
void onLButtonDblClk(int x, int y);
void onCaptureChanged();

// A released button index: the toggles' second half, or a push button's
// action when the press began on it.
void onButtonReleased(int index);

// Actions of the push buttons.
void loadSelected();
void exitWindow();
void selectAllPictures();
void deselectAllPictures();
void updateFromCamera();
void takeShot();
void deleteSelected();
void openHelpFile();
// A double click: `picture` alone is handed over, unless a Load's pictures
// are still pending.
void announcePicture(int picture);
// Selected cells held by the list, and the lowest selected index (or -1).
int selectedCount(int* lowest = nullptr);

// True when the camera still has the pictures the list shows (count and the
// last picture's record); else the window's message and false.
bool checkCameraInSync();
// The first-paint walk over the pages that fetches every thumbnail.
void preloadPages();

// Shows the face of `index` (up or down) and draws it.
void showFace(int index, bool up);

// A box of the window: caption "KMT-18/19", owned by the window.
int windowMessage(const char* text, plat::Buttons buttons, plat::Icon icon, bool taskModal = false);

// The window's own text for a camera that no longer holds the listed picture.
constexpr char DIFFERENT_PHOTOS[] =
    "Camera and TWAIN has different photos.\nPlease press Update button in advance and then "
    "try it again.";

// Windows directory + "\pxcm.ini"; the camera's section and keys are those
// of camera/line_settings_file.h.
std::string settingsPath();
constexpr char WINDOW_CAPTION_BOX[] = "KMT-18/19";

// Blanks that clear the status line after the window's own actions.
constexpr int STATUS_CLEAR_BLANKS = 60;
constexpr int SHOT_CLEAR_BLANKS = 58;
