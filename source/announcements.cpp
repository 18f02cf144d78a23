// announcements.cpp — one MSG_XFERREADY now, the rest one by one after each
// ended transfer, through a message posted to the camera window.
#include "source/announcements.h"

#include "platform/window.h"
#include "source/notify.h"
#include "source/source_state.h"
#include "ui/window_host.h"

namespace {

struct Announcements {
    int held = 0;
    // A WM_PXCM_ANNOUNCE is on its way: one is enough.
    bool posted = false;
};

Announcements g_announcements;

}  // namespace

void announceTransfers(int count) {
    if (count <= 0) return;
    g_announcements.held = count - 1;
    NotifyXferReady();
}

void transferEnded() {
    if (g_announcements.held <= 0 || g_announcements.posted || !g_source.cameraWindow) return;
    g_announcements.posted = plat::postWindowMessage(g_source.cameraWindow, WM_PXCM_ANNOUNCE, 0, 0);
}

void announceNext() {
    g_announcements.posted = false;
    if (g_announcements.held <= 0) return;
    --g_announcements.held;
    NotifyXferReady();
}

void dropAnnouncements() {
    g_announcements = Announcements{};
}

int heldAnnouncements() {
    return g_announcements.held;
}
