// error_box.cpp — the "Sample Source Error" box and the condition-code texts.
#include "source/error_box.h"

#include <string>

#include "platform/prompt.h"
#include "platform/trace.h"
#include "source/source_state.h"

namespace {
constexpr char TRACE_DS_ERROR[] = "(PROT) : VOID DS_Error";
constexpr char ERROR_CAPTION[] = "Sample Source Error";
constexpr char UNKNOWN_CODE[] = "Unknown Error value in condition code.";

constexpr const char* CODE_TEXTS[] = {
    "Success message from detailed error request ??",
    "Bummer error.",
    "Low Memory Condition encountered, free up some memory and try again.",
    "No Data Source found error.",
    "Source is connected to max possible apps.",
    "An operation error just occurred.",
    "Bad capabilities error.",
    UNKNOWN_CODE,
    UNKNOWN_CODE,
    "Bad protocol error.",
    "Bad value error.",
    "DG DAT MSG is out of expected sequence.",
};
}  // namespace

const char* conditionCodeText(unsigned conditionCode) {
    if (conditionCode < sizeof(CODE_TEXTS) / sizeof(CODE_TEXTS[0]))
        return CODE_TEXTS[conditionCode];
    return UNKNOWN_CODE;
}

void DS_Error(const char* message, unsigned conditionCode) {
    TraceLog(TRACE_DS_ERROR);
    std::string text = message;
    text += conditionCodeText(conditionCode);
    plat::messageBox(g_source.appWindow, text.c_str(), ERROR_CAPTION, {});
}

TW_UINT16 failWith(TW_UINT16 conditionCode, const char* message) {
    g_source.conditionCode = conditionCode;
    DS_Error(message, conditionCode);
    return TWRC_FAILURE;
}
