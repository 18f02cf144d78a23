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

void hostAnnounce(int count, bool replaceHeld) {
    if (g_host.announce) g_host.announce(count, replaceHeld);
}

void hostAnnounceNext() {
    if (g_host.announceNext) g_host.announceNext();
}

void hostCloseRequested() {
    if (g_host.closeRequested) g_host.closeRequested();
}
