// app_loop.h — the application's side of a source's window: the message
// loop that passes every message through MSG_PROCESSEVENT, and scripted
// window messages for unattended runs. Windows: the thread's own queue
// (PeekMessage, then TranslateMessage and DispatchMessage for what the
// source does not take). POSIX: the window contract's records, and a null
// pEvent for the source's own queue.
#pragma once

#include <functional>
#include <string>

#include "platform/os_types.h"

namespace plat {

// Offers one message to the source (TW_EVENT.pEvent as given); true when
// the source took it (TWRC_DSEVENT).
using OfferEvent = std::function<bool(void* pEvent)>;

// Handles one waiting message, if any; false when nothing was waiting.
bool pumpOneMessage(const OfferEvent& offer);

// Sleeps until a message may be waiting, at most `ms` milliseconds.
void waitForMessages(int ms);

// Hands one window message (client coordinates for mouse messages) to the
// window that the source shows: POSIX passes the record straight to
// MSG_PROCESSEVENT; Windows posts it to the thread's active window, where
// the next pumps find it. False when there is no window to take it.
bool deliverWindowMessage(const OfferEvent& offer, UINT message, WPARAM wParam, LPARAM lParam);

// The POSIX window host's options for the source this process loads:
// $PXCM_UI (headless or sdl) and $PXCM_WINDOW_PNG, each set when not empty.
// Windows has the real window only: false when either is given.
bool setWindowSystemOptions(const std::string& ui, const std::string& windowPng);

// Whether the source's window runs by itself, on a thread of the source's
// own, so that an application may wait for its notifications without
// passing events: POSIX yes; Windows no (its applications pump messages).
bool windowRunsByItself();

// Names the window script that the source's window plays by itself
// ($PXCM_WINDOW_SCRIPT; POSIX only: false on Windows).
bool setWindowScript(const std::string& path);

// Whether a window can be shown to a person: POSIX needs a display and no
// $PXCM_UI=headless; Windows always has one.
bool interactiveDisplay();

}  // namespace plat
