// allowed_values.cpp — what a capability allows and how its values are
// named: the allowed-test of a one-value set, the index of the current and
// default values, the names of numbers and the numbers of value texts.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "caps/capability_ops.h"
#include "caps/caps_trace.h"
#include "caps/fix32.h"
#include "caps/settings_files.h"
#include "caps/value_text.h"
#include "platform/trace.h"

namespace caps {

TW_UINT32 valueNumber(std::string_view text, const char* section, TW_UINT16 itemType) {
    if (isSymbolicName(text)) {
        TW_UINT32 n = dictionaryNumber(section, std::string(cut(text, NAME_MAX_CHARS)));
        if (itemType == TWTY_FIX32)
            return fix32ToWord(FloatToFIX32(static_cast<float>(static_cast<TW_INT32>(n))));
        return n;
    }
    if (itemType == TWTY_FIX32)
        return fix32ToWord(FloatToFIX32(static_cast<float>(parseReal(text))));
    return parseInteger(text);
}

}  // namespace caps

namespace {

void copyAttribute(char* out, std::string_view text) {
    std::string_view t = caps::cut(text, caps::ATTRIBUTE_TEXT_BYTES - 1);
    std::memcpy(out, t.data(), t.size());
    out[t.size()] = '\0';
}

// The allowed-test against a range: the value must lie within it, and is
// moved down onto the nearest step counted from the minimum, so that what is
// stored always lies in the range. A range without "to_", without a step or
// with a step that is not positive allows nothing.
BOOL allowedByRange(TW_INT16 value, const std::string& allowed, char* textOut) {
    caps::RangeParts parts = caps::splitRange(allowed);
    if (!parts.hasTo || !parts.hasComma) return FALSE;
    int minimum = static_cast<TW_INT16>(RangeMinimum(allowed.c_str(), TWTY_UINT32));
    int maximum = static_cast<TW_INT16>(RangeMaximum(allowed.c_str(), TWTY_UINT32));
    int step = static_cast<TW_INT16>(RangeStep(allowed.c_str(), TWTY_UINT32));
    if (step <= 0) return FALSE;
    if (value < minimum || value > maximum) return FALSE;
    int stored = minimum + (value - minimum) / step * step;
    std::snprintf(textOut, caps::ATTRIBUTE_TEXT_BYTES, "%d", stored);
    return TRUE;
}

}  // namespace

namespace {

// A TW_FIX32 as a count of 1/65536.
long long fix32Units(TW_UINT32 word) {
    const TW_FIX32 f = wordToFix32(word);
    return static_cast<long long>(f.Whole) * 65536 + f.Frac;
}

TW_FIX32 unitsToFix32(long long units) {
    TW_FIX32 f;
    f.Whole = static_cast<TW_INT16>(units >> 16);
    f.Frac = static_cast<TW_UINT16>(units & 0xFFFF);
    return f;
}

}  // namespace

namespace caps {

bool isRealAllowed(TW_FIX32 value, const char* section, std::string& textOut) {
    const std::string control = sourceControlFile();
    std::string allowed = readText(control.c_str(), section, ALLOWED_KEY, "", VALUE_TEXT_MAX);
    const long long v = fix32Units(fix32ToWord(value));

    if (allowed.find("to") != std::string::npos) {
        const RangeParts parts = splitRange(allowed);
        if (!parts.hasTo || !parts.hasComma) return false;
        const long long minimum = fix32Units(RangeMinimum(allowed.c_str(), TWTY_FIX32));
        const long long maximum = fix32Units(RangeMaximum(allowed.c_str(), TWTY_FIX32));
        const long long step = fix32Units(RangeStep(allowed.c_str(), TWTY_FIX32));
        if (step <= 0 || v < minimum || v > maximum) return false;
        textOut = formatReal(FIX32ToFloat(unitsToFix32(minimum + (v - minimum) / step * step)));
        return true;
    }
    if (allowed.find('[') != std::string::npos) allowed = withoutBrackets(allowed);
    for (std::string_view item : splitList(allowed, SIZE_MAX)) {
        item = cut(item, NAME_MAX_CHARS);
        if (fix32Units(valueNumber(item, section, TWTY_FIX32)) == v) {
            textOut = std::string(item);
            return true;
        }
    }
    return false;
}

}  // namespace caps

BOOL IsCapAllowed(TW_INT16 value, const char* section, char* textOut) {
    TraceLog(TRACE_IS_CAP_ALLOWED);
    const std::string control = caps::sourceControlFile();
    std::string allowed = caps::readText(control.c_str(), section, ALLOWED_KEY, "", VALUE_TEXT_MAX);

    if (allowed.find("to") != std::string::npos) return allowedByRange(value, allowed, textOut);

    if (allowed.find('[') != std::string::npos) allowed = caps::withoutBrackets(allowed);
    for (std::string_view item : caps::splitList(allowed, SIZE_MAX)) {
        item = caps::cut(item, NAME_MAX_CHARS);
        auto number = static_cast<TW_INT16>(caps::valueNumber(item, section, TWTY_INT16));
        if (number == value) {
            copyAttribute(textOut, item);
            return TRUE;
        }
    }
    return FALSE;
}

int GetIndex(TW_UINT16 msg, const char* section) {
    // The profile functions match keys without regard to case.
    const char* key = msg == MSG_GETDEFAULT ? "default" : "current";
    const std::string control = caps::sourceControlFile();
    const std::string allowed =
        caps::readText(control.c_str(), section, ALLOWED_KEY, "", VALUE_TEXT_MAX);
    const std::string wanted = caps::readText(control.c_str(), section, key, "", VALUE_TEXT_MAX);
    const std::string_view prefix = caps::cut(wanted, 8);
    int index = 0;
    for (std::string_view item : caps::splitList(allowed, SIZE_MAX)) {
        if (caps::cut(item, 8) == prefix) return index;
        ++index;
    }
    return 0;
}

void ConvertAttributeToText(int value, char* textOut, const char* section) {
    TraceLog(TRACE_CONVERT_ATTRIBUTE);
    std::vector<char> lines(DICTIONARY_SECTION_BYTES);
    const std::string dictionary = caps::dictionaryPath();
    unsigned long n = caps::readSection(dictionary.c_str(), section, lines.data(),
                                        static_cast<unsigned long>(lines.size()));
    if (n == 0) {
        std::snprintf(textOut, caps::ATTRIBUTE_TEXT_BYTES, "%d", value);
        return;
    }
    // "name=number" lines, each ended by a NUL.
    for (std::size_t at = 0; at < n && lines[at] != '\0';) {
        std::string_view line(lines.data() + at);
        at += line.size() + 1;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        auto number = static_cast<TW_INT32>(caps::parseInteger(line.substr(eq + 1)));
        if (number == value) {
            copyAttribute(textOut, caps::cut(line.substr(0, eq), NAME_MAX_CHARS));
            return;
        }
    }
}
