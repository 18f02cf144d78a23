// window_front_end.h — what the camera window asks of the front end that shows it:
// a record of callbacks handed over when the window is made, so that the
// window reaches the front end only through them.
#pragma once

#include <vector>

#include "platform/os_types.h"

struct WindowFrontEnd {
    // The module whose resources (templates, skin bitmaps) the window shows.
    HINSTANCE moduleInstance = nullptr;
    // The user hands over `pictures` (list indexes in transfer order), all
    // announced at once.
    void (*announce)(const std::vector<int>& pictures) = nullptr;
    // The pictures handed over and not yet taken; the next of them (-1: none).
    int (*pendingCount)() = nullptr;
    int (*nextPicture)() = nullptr;
    // The camera no longer matches the list: the rest is not delivered.
    void (*dropPending)() = nullptr;
    // The user closed the window: the application is asked to close.
    void (*closeRequested)() = nullptr;
};

// Set before the window is made; kept until the next one.
void setWindowFrontEnd(const WindowFrontEnd& host);
const WindowFrontEnd& windowFrontEnd();

// The host's callbacks, each doing nothing (or answering none) when the host
// has none.
void frontEndAnnounce(const std::vector<int>& pictures);
int frontEndPendingCount();
int frontEndNextPicture();
void frontEndDropPending();
void frontEndCloseRequested();
