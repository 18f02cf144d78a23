// about_box.h — the About box with the camera's firmware version, opened by
// a Ctrl+Shift+click on the logo.
#pragma once

#include <string>

#include "platform/os_types.h"

INT_PTR CALLBACK AboutBox(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when the point is on the logo with Ctrl and Shift held: the box has then
// been shown modally and closed.
int openAboutIfClicked(HWND window, WPARAM keys, int x, int y);

// The box's caption for a firmware version.
std::string aboutCaption(double firmwareVersion);
