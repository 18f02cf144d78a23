// window_front_end.cpp — the camera window's one front-end record.
#include "ui/window_front_end.h"

namespace {
WindowFrontEnd g_frontEnd;
}  // namespace

void setWindowFrontEnd(const WindowFrontEnd& host) {
    g_frontEnd = host;
}

const WindowFrontEnd& windowFrontEnd() {
    return g_frontEnd;
}

void frontEndAnnounce(const std::vector<int>& pictures) {
    if (g_frontEnd.announce) g_frontEnd.announce(pictures);
}

int frontEndPendingCount() {
    return g_frontEnd.pendingCount ? g_frontEnd.pendingCount() : 0;
}

int frontEndNextPicture() {
    return g_frontEnd.nextPicture ? g_frontEnd.nextPicture() : -1;
}

void frontEndDropPending() {
    if (g_frontEnd.dropPending) g_frontEnd.dropPending();
}

void frontEndCloseRequested() {
    if (g_frontEnd.closeRequested) g_frontEnd.closeRequested();
}
