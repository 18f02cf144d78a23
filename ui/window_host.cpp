// window_host.cpp — the camera window's one host record.
#include "ui/window_host.h"

namespace {
WindowHost g_host;
}  // namespace

void setWindowHost(const WindowHost& host) {
    g_host = host;
}

const WindowHost& windowHost() {
    return g_host;
}

void hostAnnounce(const std::vector<int>& pictures) {
    if (g_host.announce) g_host.announce(pictures);
}

int hostPendingCount() {
    return g_host.pendingCount ? g_host.pendingCount() : 0;
}

int hostNextPicture() {
    return g_host.nextPicture ? g_host.nextPicture() : -1;
}

void hostDropPending() {
    if (g_host.dropPending) g_host.dropPending();
}

void hostCloseRequested() {
    if (g_host.closeRequested) g_host.closeRequested();
}
