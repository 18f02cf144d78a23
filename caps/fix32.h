// fix32.h — conversions between real numbers and TW_FIX32, and the 32-bit
// item word that carries a TW_FIX32 in a container.
#pragma once

#include "platform/twain.h"

// The nearest multiple of 1/65536; values outside what TW_FIX32 holds are
// clamped to its smallest or largest value, NaN gives 0.
[[nodiscard]] TW_FIX32 FloatToFIX32(float value);
[[nodiscard]] float FIX32ToFloat(TW_FIX32 value);

// Whole in the low half, Frac in the high half, as in a little-endian item slot.
[[nodiscard]] TW_UINT32 fix32ToWord(TW_FIX32 value);
[[nodiscard]] TW_FIX32 wordToFix32(TW_UINT32 word);
