// control_ops.cpp — identity, open and close, status and pending transfers.
#include "source/control_ops.h"

#include <cstring>

#include "caps/settings_files.h"
#include "caps/settings_seed.h"
#include "platform/files.h"
#include "platform/installed_defaults.h"
#include "platform/profile.h"
#include "platform/trace.h"
#include "platform/window_thread.h"
#include "source/error_box.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "source/window_release.h"

namespace {

// The trace file that an application's open removes.
constexpr char TRACE_FILE[] = "c:\\camds.log";
constexpr char TRACE_IDENTITY[] = "(PROT) : TW_UINT16 IdentityMsg";
constexpr char TRACE_OPENDS[] = "(PROT) : TW_UINT16 OpenDS";
constexpr char TRACE_CLOSEDS[] = "(PROT) : TW_UINT16 CloseDS";
constexpr char TRACE_STATUS[] = "(PROT) : TW_UINT16 StatusMsg";
constexpr char TRACE_PENDING[] = "(PROT) : TW_UINT16 PendingXferMsg";

constexpr char FAIL_IDENTITY[] = "General failure in response to DAT_IDENTITY.  ";
constexpr char FAIL_OPENDS[] = "General failure in response to MSG_OPENDS.  ";
constexpr char FAIL_CLOSEDS[] = "General failure in response to MSG_CLOSEDS.  ";
constexpr char FAIL_STATUS[] = "General failure in response to DAT_STATUS.  ";
constexpr char FAIL_PENDING[] = "General failure in response to DAT_PENDINGXFER.  ";

void clearPendingImages() {
    const char* file = sourceControlPathInUse();
    if (*file) plat::profileWriteString(ADF_SECTION, PENDING_IMAGES_KEY, "0", file);
}

TW_UINT16 pendingImages() {
    const char* file = sourceControlPathInUse();
    if (!*file) return 0;
    return static_cast<TW_UINT16>(plat::profileGetInt(ADF_SECTION, PENDING_IMAGES_KEY, 0, file));
}

}  // namespace

TW_UINT16 IdentityMsg(TripletArgs* args) {
    TraceLog(TRACE_IDENTITY);
    switch (args->msg) {
        case MSG_GET:
            if (!args->data) return failWith(TWCC_BADVALUE, FAIL_IDENTITY);
            std::memcpy(args->data, &g_source.sourceIdentity, sizeof(TW_IDENTITY));
            return TWRC_SUCCESS;
        case MSG_OPENDS:
            return OpenDS(args);
        case MSG_CLOSEDS:
            return CloseDS();
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_IDENTITY);
    }
}

TW_UINT16 OpenDS(TripletArgs* args) {
    plat::fileDelete(TRACE_FILE);
    plat::traceSwitch();
    TraceLog(TRACE_OPENDS);
    if (!protocolStateIn(STATE_LOADED)) return failWith(TWCC_SEQERROR, FAIL_OPENDS);
    if (g_source.appIdentity.Id != 0) return failWith(TWCC_MAXCONNECTIONS, FAIL_OPENDS);
    if (!args->origin || !args->data) return failWith(TWCC_BADVALUE, FAIL_OPENDS);
    // A user's first use: settings of their own from the installed defaults.
    (void)caps::seedDefaultSettings(plat::installedDefaultsDirectory());
    std::memcpy(&g_source.appIdentity, args->origin, sizeof(TW_IDENTITY));
    std::memcpy(&g_source.sourceIdentity, args->data, sizeof(TW_IDENTITY));
    g_source.protocolState = STATE_OPEN;
    return TWRC_SUCCESS;
}

TW_UINT16 CloseDS() {
    TraceLog(TRACE_CLOSEDS);
    if (!protocolStateIn(STATE_OPEN, STATE_ENABLED, STATE_XFERREADY))
        return failWith(TWCC_SEQERROR, FAIL_CLOSEDS);
    g_source.appIdentity.Id = 0;
    dropPendingTransfers();
    dropCurrentImage();
    if (g_source.cameraWindow) releaseCameraWindow();
    plat::stopWindowThread();
    g_source.protocolState = STATE_LOADED;
    return TWRC_SUCCESS;
}

TW_UINT16 StatusMsg(TripletArgs* args) {
    TraceLog(TRACE_STATUS);
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_STATUS);
    if (!args->data) return failWith(TWCC_BADVALUE, FAIL_STATUS);
    auto* status = static_cast<pTW_STATUS>(args->data);
    status->ConditionCode = g_source.conditionCode;
    status->Reserved = 0;
    g_source.conditionCode = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 PendingXferMsg(TripletArgs* args) {
    TraceLog(TRACE_PENDING);
    auto* pending = static_cast<pTW_PENDINGXFERS>(args->data);
    switch (args->msg) {
        case MSG_GET:
            if (!protocolStateIn(STATE_OPEN, STATE_ENABLED, STATE_XFERREADY))
                return failWith(TWCC_SEQERROR, FAIL_PENDING);
            if (!pending) return failWith(TWCC_BADVALUE, FAIL_PENDING);
            // In a transfer the count is this Load's; outside one the file's.
            pending->Count = protocolStateIn(STATE_XFERREADY)
                                 ? static_cast<TW_UINT16>(pendingTransfers())
                                 : pendingImages();
            return TWRC_SUCCESS;
        case MSG_ENDXFER:
            if (!pending) return failWith(TWCC_BADVALUE, FAIL_PENDING);
            pending->Count = 0;
            clearPendingImages();
            // Transferred or skipped, this picture is done: a current image
            // left by DAT_IMAGEINFO must not stand in for the next.
            dropCurrentImage();
            if (protocolStateIn(STATE_XFERREADY)) {
                pending->Count = static_cast<TW_UINT16>(endPendingTransfer());
                if (pending->Count == 0) g_source.protocolState = STATE_ENABLED;
            }
            return TWRC_SUCCESS;
        case MSG_RESET:
            if (!protocolStateIn(STATE_XFERREADY)) return failWith(TWCC_SEQERROR, FAIL_PENDING);
            if (!pending) return failWith(TWCC_BADVALUE, FAIL_PENDING);
            g_source.protocolState = STATE_ENABLED;
            dropPendingTransfers();
            dropCurrentImage();
            pending->Count = 0;
            clearPendingImages();
            return TWRC_SUCCESS;
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_PENDING);
    }
}
