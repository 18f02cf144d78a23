// app_loop.cpp — the application's loop over the window contract: a
// null pEvent asks the source to take one message from its window's queue.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/app_loop.h"
#include "platform/window.h"

namespace plat {
namespace {

bool set(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

}  // namespace

bool pumpOneMessage(const OfferEvent& offer) {
    return offer(nullptr);
}

void waitForMessages(int ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

bool deliverWindowMessage(const OfferEvent& offer, UINT message, WPARAM wParam, LPARAM lParam) {
    EventRecord record{message, wParam, lParam};
    return offer(&record);
}

bool setWindowSystemOptions(const std::string& ui, const std::string& windowPng) {
    if (!ui.empty()) setenv("PXCM_UI", ui.c_str(), 1);
    if (!windowPng.empty()) setenv("PXCM_WINDOW_PNG", windowPng.c_str(), 1);
    return true;
}

bool windowRunsByItself() {
    return true;
}

bool setWindowScript(const std::string& path) {
    return setenv("PXCM_WINDOW_SCRIPT", path.c_str(), 1) == 0;
}

bool interactiveDisplay() {
    const char* ui = std::getenv("PXCM_UI");
    if (ui && std::strcmp(ui, "headless") == 0) return false;
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace plat
