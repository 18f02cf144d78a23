// query_support.cpp — the TWQC_ flags of a capability, read from the same
// keys that the get, set and reset operations read.
#include "caps/query_support.h"

#include <string>

#include "caps/caps_trace.h"
#include "caps/containers.h"
#include "caps/settings_files.h"
#include "caps/value_text.h"
#include "platform/trace.h"

namespace {

constexpr char ONEVALUE_NAME[] = "TWON_ONEVALUE";

std::string controlText(const char* section, const char* key, const char* def,
                        std::size_t maxChars) {
    return caps::readText(caps::sourceControlFile(), section, key, def, maxChars);
}

bool hasValue(const char* section, const char* key) {
    return controlText(section, key, NO_SECTION, VALUE_TEXT_MAX) != NO_SECTION;
}

// Whether a container key names one of the four containers (any of its
// comma-separated names does, as the shape rule and the set test read it).
// A key that names none, such as "TWCC_BADPROTOCOL", allows nothing.
bool namesContainer(const std::string& keyText) {
    for (std::string_view name : caps::splitList(keyText, SIZE_MAX)) {
        const unsigned type = caps::dictionaryNumber(CON_TYPE_SECTION, std::string(name));
        if (type == TWON_ARRAY || type == TWON_ENUMERATION || type == TWON_ONEVALUE ||
            type == TWON_RANGE)
            return true;
    }
    return false;
}

std::string keyText(const char* section, const char* key) {
    return controlText(section, key, "", KEY_TEXT_MAX);
}

}  // namespace

namespace caps {

bool supportFlags(const char* section, TW_INT32* flags) {
    // Any line will do; a short buffer still reports that there is one.
    char probe[64];
    if (std::string(section) == NO_SECTION ||
        readSection(sourceControlFile(), section, probe, sizeof probe) == 0)
        return false;

    TW_INT32 f = 0;
    // A get also needs the value that it answers, or it fails with TWCC_BADCAP.
    const std::string get = keyText(section, GET_KEY);
    if (namesContainer(get) && hasValue(section, get == ONEVALUE_NAME ? CURRENT_KEY : ALLOWED_KEY))
        f |= TWQC_GET;
    if (namesContainer(keyText(section, GET_CURRENT_KEY)) && hasValue(section, CURRENT_KEY))
        f |= TWQC_GETCURRENT;
    if (namesContainer(keyText(section, GET_DEFAULT_KEY)) && hasValue(section, DEFAULT_KEY))
        f |= TWQC_GETDEFAULT;
    if (namesContainer(keyText(section, SET_KEY))) f |= TWQC_SET;
    // A reset writes the value that its answer reads, from power-on and
    // default texts that must be there.
    if (namesContainer(keyText(section, RESET_KEY)) && !keyText(section, POWER_ON_KEY).empty() &&
        !keyText(section, DEFAULT_KEY).empty())
        f |= TWQC_RESET;
    *flags = f;
    return true;
}

}  // namespace caps

TW_UINT16 QuerySupport(pTW_CAPABILITY cap, const char* section) {
    TraceLog(TRACE_QUERY_SUPPORT);
    TW_INT32 flags = 0;
    if (!caps::supportFlags(section, &flags)) return TWCC_BADCAP;
    return BuildUpOneValue(cap, TWTY_INT32, static_cast<TW_UINT32>(flags), MSG_QUERYSUPPORT);
}
