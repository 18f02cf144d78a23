// fix32.cpp — TW_FIX32 conversions.
#include "caps/fix32.h"

#include <cmath>
#include <cstdint>

#include "caps/caps_trace.h"
#include "platform/trace.h"

TW_FIX32 FloatToFIX32(float value) {
    TraceLog(TRACE_FLOAT_TO_FIX32);
    // Round half up to the nearest 1/65536, in double so that nothing is lost.
    double scaled = std::floor(static_cast<double>(value) * 65536.0 + 0.5);
    std::int32_t v;
    if (std::isnan(scaled))
        v = 0;
    else if (scaled <= static_cast<double>(INT32_MIN))
        v = INT32_MIN;
    else if (scaled >= static_cast<double>(INT32_MAX))
        v = INT32_MAX;
    else
        v = static_cast<std::int32_t>(scaled);
    TW_FIX32 out;
    // Arithmetic shift: the floor of v / 65536, negative values included.
    out.Whole = static_cast<TW_INT16>(v >> 16);
    out.Frac = static_cast<TW_UINT16>(static_cast<std::uint32_t>(v) & 0xffffu);
    return out;
}

float FIX32ToFloat(TW_FIX32 value) {
    TraceLog(TRACE_FIX32_TO_FLOAT);
    return static_cast<float>(static_cast<double>(value.Whole) +
                              static_cast<double>(value.Frac) / 65536.0);
}

TW_UINT32 fix32ToWord(TW_FIX32 value) {
    return static_cast<TW_UINT32>(static_cast<std::uint16_t>(value.Whole)) |
           (static_cast<TW_UINT32>(value.Frac) << 16);
}

TW_FIX32 wordToFix32(TW_UINT32 word) {
    TW_FIX32 out;
    out.Whole = static_cast<TW_INT16>(static_cast<std::uint16_t>(word & 0xffffu));
    out.Frac = static_cast<TW_UINT16>((word >> 16) & 0xffffu);
    return out;
}
