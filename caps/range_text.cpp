// range_text.cpp — the minimum, maximum and step of a range text.
#include <string_view>

#include "caps/capability_ops.h"
#include "caps/caps_trace.h"
#include "caps/fix32.h"
#include "caps/value_text.h"
#include "platform/trace.h"

namespace {

TW_UINT32 rangePart(std::string_view part, TW_UINT16 itemType) {
    if (itemType == TWTY_FIX32)
        return fix32ToWord(FloatToFIX32(static_cast<float>(caps::parseReal(part))));
    return caps::parseInteger(part);
}

std::string_view textOf(const char* rangeText) {
    return rangeText ? rangeText : "";
}

}  // namespace

TW_UINT32 RangeMinimum(const char* rangeText, TW_UINT16 itemType) {
    TraceLog(TRACE_RANGE_MINIMUM);
    return rangePart(caps::splitRange(textOf(rangeText)).minimum, itemType);
}

TW_UINT32 RangeMaximum(const char* rangeText, TW_UINT16 itemType) {
    TraceLog(TRACE_RANGE_MAXIMUM);
    return rangePart(caps::splitRange(textOf(rangeText)).maximum, itemType);
}

TW_UINT32 RangeStep(const char* rangeText, TW_UINT16 itemType) {
    TraceLog(TRACE_RANGE_STEP);
    return rangePart(caps::splitRange(textOf(rangeText)).step, itemType);
}
