// file_xfer.cpp — DAT_IMAGEFILEXFER: answered as done; no file is written.
#include "platform/trace.h"
#include "source/error_box.h"
#include "source/image_ops.h"

namespace {
constexpr char TRACE_FILE_XFER[] = "(PROT) : TW_UINT16 ImageFileXferMsg";
constexpr char FAIL_FILE_XFER[] = "General failure in response to DAT_IMAGEINFO.  ";
}  // namespace

TW_UINT16 ImageFileXferMsg(TripletArgs* args) {
    TraceLog(TRACE_FILE_XFER);
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_FILE_XFER);
    return TWRC_XFERDONE;
}
