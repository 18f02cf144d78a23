// notify.cpp — MSG_XFERREADY and MSG_CLOSEDSREQ back to the application.
#include "source/notify.h"

#include "platform/dsm.h"
#include "platform/trace.h"
#include "source/source_state.h"

namespace {
constexpr char TRACE_XFERREADY[] = "(PROT) : VOID NotifyXferReady";
constexpr char TRACE_CLOSEDSREQ[] = "(PROT) : VOID NotifyCloseDSReq";
}  // namespace

void NotifyXferReady() {
    TraceLog(TRACE_XFERREADY);
    g_source.protocolState = STATE_XFERREADY;
    plat::notifySourceManager(&g_source.sourceIdentity, &g_source.appIdentity, MSG_XFERREADY);
}

void NotifyCloseDSReq() {
    TraceLog(TRACE_CLOSEDSREQ);
    plat::notifySourceManager(&g_source.sourceIdentity, &g_source.appIdentity, MSG_CLOSEDSREQ);
}
