// window_thread_win32.cpp — Windows runs the camera window on the
// application's thread, inside its message loop: no thread, no lock, no
// script.
#include "platform/window_thread.h"

namespace plat {

SourceCall::SourceCall() = default;
SourceCall::~SourceCall() = default;

void startWindowThread() {}
void stopWindowThread() {}

bool playWindowScript(HWND, std::vector<ScriptMessage>, ScriptReady) {
    return false;
}

std::string windowScriptPath() {
    return "";
}

}  // namespace plat
