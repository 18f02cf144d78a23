// caps_state.cpp — the capability store's module-wide state.
#include "caps/caps_state.h"

#include <cstring>

CapsState g_caps;

void resetCapsState() {
    g_caps = CapsState{};
}

void setLastSetKey(const char* key) {
    std::strncpy(g_caps.lastSetKey, key, LAST_SET_KEY_MAX);
    g_caps.lastSetKey[LAST_SET_KEY_MAX] = '\0';
}
