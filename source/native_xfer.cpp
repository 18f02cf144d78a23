// native_xfer.cpp — DAT_IMAGENATIVEXFER: the current image handed over as a
// bottom-up DIB handle, which then belongs to the application.
#include <cstring>

#include "platform/trace.h"
#include "source/current_image.h"
#include "source/error_box.h"
#include "source/image_ops.h"
#include "source/native_dib.h"
#include "source/source_state.h"
#include "source/transfer_state.h"

namespace {
constexpr char TRACE_NATIVE_XFER[] = "(PROT) : TW_UINT16 ImageNativeXferMsg";
constexpr char FAIL_NATIVE_XFER[] = "General failure in response to DAT_IMAGENATIVEXFER.  ";
}  // namespace

TW_UINT16 ImageNativeXferMsg(TripletArgs* args) {
    TraceLog(TRACE_NATIVE_XFER);
    if (!protocolStateIn(STATE_XFERREADY)) return failWith(TWCC_SEQERROR, FAIL_NATIVE_XFER);
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_NATIVE_XFER);
    if (!args->data) return failWith(TWCC_BADVALUE, FAIL_NATIVE_XFER);

    {
        CurrentImageLock image;
        if (!image) return TWRC_FAILURE;
    }
    TW_HANDLE dib = nullptr;
    switch (toNativeDib(g_transfer.currentImage, &dib)) {
        case NativeDibResult::Ok:
            break;
        case NativeDibResult::NotAPicture:
            return failWith(TWCC_BUMMER, FAIL_NATIVE_XFER);
        case NativeDibResult::NoMemory:
            return failWith(TWCC_LOWMEMORY, FAIL_NATIVE_XFER);
    }
    // The handle is as wide as the platform's handles (32 bits on x86).
    std::memcpy(args->data, &dib, sizeof dib);
    g_transfer.currentImage = nullptr;
    return TWRC_XFERDONE;
}
