// triplet_trace.h — the trace line of one triplet that DS_Entry received:
// its names, return code and condition code.
#pragma once

#include <cstddef>

#include "platform/trace.h"
#include "platform/twain.h"

// "(TRIP) : DG_CONTROL / DAT_IDENTITY / MSG_OPENDS -> TWRC_FAILURE, TWCC_SEQERROR";
// a value without a name appears as hexadecimal ("DAT 0x0123"). Allocates
// nothing: it runs outside the entry's exception guard.
constexpr std::size_t TRIPLET_LINE_MAX = 160;
void tripletTraceLine(char (&out)[TRIPLET_LINE_MAX], TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_UINT16 rc, TW_UINT16 cc);

inline void traceTriplet(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 rc, TW_UINT16 cc) {
    if (!plat::g_traceOn) return;
    char line[TRIPLET_LINE_MAX];
    tripletTraceLine(line, dg, dat, msg, rc, cc);
    plat::traceWrite(line);
}
