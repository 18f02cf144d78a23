// entry.cpp — DS_Entry: the thin C boundary over the operation handlers.
#include "source/entry.h"

#include "platform/window_thread.h"

#include "source/dispatch.h"
#include "source/event.h"
#include "source/source_state.h"
#include "source/triplet_trace.h"

namespace {

TW_UINT16 processEvent(TW_MEMREF data) {
    auto* event = static_cast<pTW_EVENT>(data);
    if (event && isCameraWindowMessage(event)) {
        event->TWMessage = MSG_NULL;
        return TWRC_DSEVENT;
    }
    return TWRC_NOTDSEVENT;
}

TW_UINT16 entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    // A second application's triplets are not processed while one holds the source.
    if (g_source.appIdentity.Id != 0 && (!origin || origin->Id != g_source.appIdentity.Id))
        return TWRC_FAILURE;

    if (msg == MSG_PROCESSEVENT) return processEvent(data);

    if (!(dg == DG_CONTROL && dat == DAT_STATUS)) g_source.conditionCode = TWCC_SUCCESS;

    TripletArgs args{origin, dg, dat, msg, data};
    if (dg == DG_CONTROL) return Dispatch(&args, CONTROL_TABLE, dat);
    if (dg == DG_IMAGE) return Dispatch(&args, IMAGE_TABLE, dat);
    g_source.conditionCode = TWCC_BADPROTOCOL;
    return TWRC_FAILURE;
}

}  // namespace

extern "C" TW_UINT16 TW_CALLINGSTYLE DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT,
                                              TW_UINT16 MSG, TW_MEMREF pData) {
    // One call at a time, and never while the camera window handles a message.
    plat::SourceCall call;
    TW_UINT16 rc;
    // Nothing may unwind into the Source Manager.
    try {
        rc = entry(pOrigin, DG, DAT, MSG, pData);
    } catch (...) {
        g_source.conditionCode = TWCC_BUMMER;
        rc = TWRC_FAILURE;
    }
    // The application's event loop sends every window message: not traced.
    if (MSG != MSG_PROCESSEVENT) traceTriplet(DG, DAT, MSG, rc, g_source.conditionCode);
    return rc;
}
