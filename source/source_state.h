// source_state.h — the protocol state of the data source: one copy for the
// module, resettable for tests.
#pragma once

#include "platform/os_types.h"
#include "platform/twain.h"

// Protocol states, as the TWAIN state number times 100.
constexpr TW_INT32 STATE_LOADED = 300;
constexpr TW_INT32 STATE_OPEN = 400;
constexpr TW_INT32 STATE_ENABLED = 500;
constexpr TW_INT32 STATE_XFERREADY = 600;

struct SourceState {
    HINSTANCE moduleInstance = nullptr;
    TW_INT32 protocolState = STATE_LOADED;
    TW_UINT16 conditionCode = TWCC_SUCCESS;
    TW_UINT16 conditionReserved = 0;
    TW_IDENTITY sourceIdentity{};
    TW_IDENTITY appIdentity{};
    HWND cameraWindow = nullptr;
    HWND appWindow = nullptr;
};

extern SourceState g_source;

// Back to the state at load, with the identity filled in as DllMain does.
void resetSourceState();

// Fills the source identity from the module's string resources.
void fillSourceIdentity(TW_IDENTITY& id, HINSTANCE module);

// Whether the protocol state is one of `accepted`: the one state check that
// every operation makes before any side effect.
template <typename... States>
[[nodiscard]] bool protocolStateIn(States... accepted) {
    return ((g_source.protocolState == accepted) || ...);
}
