// setup_xfer_msgs.cpp — memory-transfer set-up, transfer file and transfer
// group.
#include "source/setup_xfer_msgs.h"

#include <cstring>

#include "platform/files.h"
#include "platform/trace.h"
#include "source/error_box.h"
#include "source/memory_limits.h"
#include "source/source_state.h"

namespace {

constexpr char TRACE_SETUP_MEM[] = "(PROT) : TW_UINT16 SetupMemXferMsg";
constexpr char TRACE_SETUP_FILE[] = "(PROT) : TW_UINT16 SetupFileXferMsg";
constexpr char TRACE_XFER_GROUP[] = "(PROT) : TW_UINT16 XferGroupMsg";

constexpr char FAIL_SETUP_MEM[] =
    "General failure in response to DAT_SETUPMEMXFER, not supported.  ";
constexpr char FAIL_SETUP_FILE[] =
    "General failure in response to DAT_SETUPFILEXFER, not supported.  ";
constexpr char FAIL_CREATE_FILE[] = "Unable to create file <<DAT_SETUPFILEXFER>>";
constexpr char FAIL_XFER_GROUP[] = "General failure in response to DAT_XFERGROUP, not supported.  ";

constexpr std::size_t TRANSFER_FILE_MAX = 255;

// Set by MSG_SET; nothing else reads it.
char g_transferFile[TRANSFER_FILE_MAX + 1] = {};

bool setupState() {
    return protocolStateIn(STATE_OPEN, STATE_ENABLED, STATE_XFERREADY);
}

}  // namespace

const char* transferFileName() {
    return g_transferFile;
}

TW_UINT16 SetupMemXferMsg(TripletArgs* args) {
    TraceLog(TRACE_SETUP_MEM);
    if (!setupState()) return failWith(TWCC_SEQERROR, FAIL_SETUP_MEM);
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_SETUP_MEM);
    auto* setup = static_cast<pTW_SETUPMEMXFER>(args->data);
    if (!setup) return failWith(TWCC_BADVALUE, FAIL_SETUP_MEM);
    const MemoryLimits limits = readMemoryLimits();
    setup->MinBufSize = limits.min;
    setup->MaxBufSize = limits.max;
    setup->Preferred = limits.preferred;
    return TWRC_SUCCESS;
}

TW_UINT16 SetupFileXferMsg(TripletArgs* args) {
    TraceLog(TRACE_SETUP_FILE);
    if (!setupState()) return failWith(TWCC_SEQERROR, FAIL_SETUP_FILE);
    auto* setup = static_cast<pTW_SETUPFILEXFER>(args->data);
    switch (args->msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT:
            if (!setup) return failWith(TWCC_BADVALUE, FAIL_SETUP_FILE);
            std::memset(setup->FileName, 0, sizeof setup->FileName);
            std::memcpy(setup->FileName, TRANSFER_FILE_ANSWER, sizeof TRANSFER_FILE_ANSWER);
            setup->Format = TWFF_BMP;
            setup->VRefNum = 0;
            return TWRC_SUCCESS;
        case MSG_SET: {
            if (!setup) return failWith(TWCC_BADVALUE, FAIL_SETUP_FILE);
            std::size_t n = 0;
            while (n < TRANSFER_FILE_MAX && n < sizeof setup->FileName && setup->FileName[n]) ++n;
            std::memcpy(g_transferFile, setup->FileName, n);
            g_transferFile[n] = '\0';
            if (plat::fileExists(g_transferFile)) return TWRC_SUCCESS;
            if (!plat::fileCreateEmpty(g_transferFile))
                return failWith(TWCC_BADVALUE, FAIL_CREATE_FILE);
            return TWRC_SUCCESS;
        }
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_SETUP_FILE);
    }
}

TW_UINT16 XferGroupMsg(TripletArgs* args) {
    TraceLog(TRACE_XFER_GROUP);
    if (!setupState()) return failWith(TWCC_SEQERROR, FAIL_XFER_GROUP);
    switch (args->msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT:
        case MSG_RESET: {
            if (!args->data) return failWith(TWCC_BADVALUE, FAIL_XFER_GROUP);
            const TW_UINT32 group = DG_IMAGE;
            std::memcpy(args->data, &group, sizeof group);
            return TWRC_SUCCESS;
        }
        case MSG_SET:
            return TWRC_SUCCESS;
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_XFER_GROUP);
    }
}
