// capability_msg.cpp — the capability request: locate the settings, find
// the capability's section, and route the message to the capability store.
#include "source/capability_msg.h"

#include <cstdio>
#include <string>

#include "caps/capability_ops.h"
#include "caps/query_support.h"
#include "caps/settings_files.h"
#include "platform/trace.h"
#include "source/control_ops.h"
#include "source/error_box.h"
#include "source/source_state.h"

namespace {

constexpr char TRACE_CAPABILITY[] = "(PROT) : TW_UINT16 CapabilityMsg";
constexpr char TRACE_CAPABILITY_GET[] = "(PROT) : TW_UINT16 CapabilityMsg -> MSG_GET";
constexpr char TRACE_CAPABILITY_SET[] = "(PROT) : TW_UINT16 CapabilityMsg -> MSG_SET";
constexpr char TRACE_CAPABILITY_RESET[] = "(PROT) : TW_UINT16 CapabilityMsg -> MSG_RESET";
constexpr char TRACE_CAPABILITY_QUERY[] = "(PROT) : TW_UINT16 CapabilityMsg -> MSG_QUERYSUPPORT";
constexpr char TRACE_CAPABILITY_DEFAULT[] = "(PROT) : TW_UINT16 CapabilityMsg -> default";

constexpr char FAIL_CAPS[] = "General failure in response to DAT_CAPS.  ";

// The capability's section name from the dictionary's "CAP NUMBERS".
std::string sectionOf(TW_UINT16 capNumber) {
    char key[16];
    std::snprintf(key, sizeof key, "%u", static_cast<unsigned>(capNumber));
    const std::string dictionary = caps::dictionaryPath();
    return caps::readText(dictionary.c_str(), CAP_NUMBERS_SECTION, key, NO_SECTION,
                          CAP_SECTION_NAME_BUFFER - 1);
}

}  // namespace

TW_UINT16 CapabilityMsg(TripletArgs* args) {
    TraceLog(TRACE_CAPABILITY);
    TW_UINT16 result = TWRC_SUCCESS;
    auto* cap = static_cast<pTW_CAPABILITY>(args->data);
    if (!cap) return failWith(TWCC_BADVALUE, FAIL_CAPS);
    // Each settings section is read once for this request, afresh.
    caps::SettingsRequest reads;

    if (!LocateSourceControl()) {
        // The user has seen why; the application learns it from the code.
        g_source.conditionCode = TWCC_OPERATIONERROR;
        return TWRC_FAILURE;
    }

    const std::string section = sectionOf(cap->Cap);
    const bool unknown = section == NO_SECTION;
    if (unknown) {
        g_source.conditionCode = TWCC_BADCAP;
        result = TWRC_FAILURE;
    }

    switch (args->msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT: {
            TraceLog(TRACE_CAPABILITY_GET);
            TW_UINT16 code = SetValues(cap, args->msg, section.c_str());
            if (code != TWCC_SUCCESS) result = TWRC_FAILURE;
            g_source.conditionCode = code;
            if (cap->Cap == CAP_AUTOFEED)
                (void)caps::writeText(caps::sourceControlFile(), ADF_SECTION, PENDING_IMAGES_KEY,
                                      "0");
            break;
        }
        case MSG_SET: {
            TraceLog(TRACE_CAPABILITY_SET);
            TW_UINT16 code = static_cast<TW_UINT16>(SetNewCap(cap, section.c_str()));
            // The answer too may fail (it would not fit in the application's
            // block): a success always carries the values now in force.
            if (code == TWCC_SUCCESS) code = SetValues(cap, MSG_SET, section.c_str());
            if (code != TWCC_SUCCESS) result = TWRC_FAILURE;
            g_source.conditionCode = code;
            break;
        }
        case MSG_RESET: {
            TraceLog(TRACE_CAPABILITY_RESET);
            // A capability without a section has nothing to restore: writing
            // would only add a section "NONE" to the file.
            if (unknown) break;
            TW_UINT16 code = ResetValues(section.c_str());
            if (code == TWCC_SUCCESS) code = SetValues(cap, MSG_RESET, section.c_str());
            if (code != TWCC_SUCCESS) result = TWRC_FAILURE;
            g_source.conditionCode = code;
            break;
        }
        case MSG_QUERYSUPPORT: {
            // Asked for every capability before its use: never a box.
            TraceLog(TRACE_CAPABILITY_QUERY);
            TW_UINT16 code = QuerySupport(cap, section.c_str());
            if (code != TWCC_SUCCESS) result = TWRC_FAILURE;
            g_source.conditionCode = code;
            break;
        }
        default:
            TraceLog(TRACE_CAPABILITY_DEFAULT);
            g_source.conditionCode = TWCC_BADPROTOCOL;
            DS_Error(FAIL_CAPS, TWCC_BADPROTOCOL);
            result = TWRC_FAILURE;
            break;
    }
    return result;
}
