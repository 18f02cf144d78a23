// window_thread.h — which thread the camera window runs on, and the one
// source lock that keeps an application's call and the window's handling of
// a message apart. Windows: everything runs on the application's thread
// inside its message loop, and these do nothing. POSIX: the window runs on a
// thread of the source's own from start to stop, because Linux applications
// never pass their events; every window call of platform/window.h is carried
// out there.
#pragma once

#include <string>
#include <vector>

#include "platform/os_types.h"

namespace plat {

// Held for the length of every application call (DS_Entry). It is let go
// while the source calls the Source Manager for a notification, so that the
// application's callback may call the source again, on any thread.
class SourceCall {
public:
    SourceCall();
    ~SourceCall();
    SourceCall(const SourceCall&) = delete;
    SourceCall& operator=(const SourceCall&) = delete;
};

// The window's thread runs from the first to the last of these: started
// before the window is made, stopped after it is gone. A stop made on the
// window's own thread (from inside a notification) ends it once its message
// is handled; it is joined at the next start or when the module goes.
void startWindowThread();
void stopWindowThread();

// Window messages that the window's thread sends the window on its own,
// one at a time after its first paint and each only when `ready` answers
// true (called under the source lock). POSIX only; false on Windows.
using ScriptReady = bool (*)();
struct ScriptMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
bool playWindowScript(HWND window, std::vector<ScriptMessage> messages, ScriptReady ready);

// The file of window script lines the environment names ($PXCM_WINDOW_SCRIPT
// on POSIX); empty when none (always on Windows).
std::string windowScriptPath();

}  // namespace plat
