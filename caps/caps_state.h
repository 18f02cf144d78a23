// caps_state.h — the capability store's one piece of memory between
// requests: which source-control key holds what the last set stored.
#pragma once

#include "caps/capability_limits.h"

struct CapsState {
    // "Current" after a one-value set or a reset to a one-value, "Allowed"
    // after a list or range set; empty at load.
    char lastSetKey[LAST_SET_KEY_MAX + 1] = {};
};

extern CapsState g_caps;

// Back to the state at load.
void resetCapsState();

// Sets the last-set key (cut to its limit).
void setLastSetKey(const char* key);
