// error_box.h — how an operation fails: the condition code, the "Sample
// Source Error" box, TWRC_FAILURE.
#pragma once

#include "platform/twain.h"

// The condition code's text as the error box shows it.
const char* conditionCodeText(unsigned conditionCode);

// Shows message + the code's text, owned by the application window.
void DS_Error(const char* message, unsigned conditionCode);

// Sets the condition code, shows the box, returns TWRC_FAILURE.
[[nodiscard]] TW_UINT16 failWith(TW_UINT16 conditionCode, const char* message);
