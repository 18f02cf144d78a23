// window_host.h — what the camera window asks of the front end that shows it:
// a record of callbacks handed over when the window is made, so that the
// window reaches the front end only through them; and the window's own
// message numbers.
#pragma once

#include "platform/os_types.h"

// Posted by the front end when a held-back announcement may go: the window's
// handling of it calls WindowHost::announceNext.
constexpr UINT WM_PXCM_ANNOUNCE = WM_APP + 0x51;

struct WindowHost {
    // The module whose resources (templates, skin bitmaps) the window shows.
    HINSTANCE moduleInstance = nullptr;
    // The user hands over `count` pictures: the first is announced now, the
    // rest one by one; `replaceHeld` first drops those still held back.
    void (*announce)(int count, bool replaceHeld) = nullptr;
    // The next held-back announcement (on WM_PXCM_ANNOUNCE).
    void (*announceNext)() = nullptr;
    // The user closed the window: the application is asked to close.
    void (*closeRequested)() = nullptr;
};

// Set before the window is made; kept until the next one.
void setWindowHost(const WindowHost& host);
const WindowHost& windowHost();

// The host's callbacks, each doing nothing when the host has none.
void hostAnnounce(int count, bool replaceHeld);
void hostAnnounceNext();
void hostCloseRequested();
