// window.h — the camera window's seat in the platform: the dialog-message
// check that MSG_PROCESSEVENT asks.
#pragma once

namespace plat {

// IsDialogMessage on Windows (message is the application's MSG). On POSIX
// the message is the small {message, wParam, lParam} record of the window
// host.
bool isDialogMessage(void* window, void* message);

}  // namespace plat

namespace plat {

// Destroys a window that the window host created.
void destroyWindow(void* window);

}  // namespace plat

namespace plat {

// The active window of the calling thread (the owner of boxes that belong to
// whatever the user is looking at); none when there is no window host.
void* activeWindow();

}  // namespace plat
