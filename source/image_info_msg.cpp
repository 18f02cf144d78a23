// image_info_msg.cpp — DAT_IMAGEINFO: describes the picture of this
// transfer, fetching it first when none is held.
#include <cstring>

#include "platform/trace.h"
#include "source/current_image.h"
#include "source/error_box.h"
#include "source/image_ops.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "ui/window_transfer.h"

namespace {

constexpr char TRACE_IMAGE_INFO[] = "(PROT) : TW_UINT16 ImageInfoMsg";
constexpr char FAIL_IMAGE_INFO[] = "General failure in transfer.  ";

// What the answer says when there is no picture.
constexpr TW_INT32 NO_PICTURE_WIDTH = 640;
constexpr TW_INT32 NO_PICTURE_LENGTH = 480;

}  // namespace

TW_UINT16 ImageInfoMsg(TripletArgs* args) {
    TraceLog(TRACE_IMAGE_INFO);
    if (!protocolStateIn(STATE_XFERREADY)) return failWith(TWCC_SEQERROR, FAIL_IMAGE_INFO);
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_IMAGE_INFO);
    auto* info = static_cast<pTW_IMAGEINFO>(args->data);
    if (!info) return failWith(TWCC_BADVALUE, FAIL_IMAGE_INFO);

    info->XResolution = TW_FIX32{0, 0};
    info->YResolution = TW_FIX32{0, 0};

    // Applications ask more than once for one transfer (before it, after
    // DAT_IMAGELAYOUT, after it): only the first request downloads.
    if (!pictureHeld() && acquireNextPicture(storeCurrentImage) == 0) g_transfer.fetchAgain = FALSE;
    if (!pictureHeld()) {
        info->ImageWidth = NO_PICTURE_WIDTH;
        info->ImageLength = NO_PICTURE_LENGTH;
        return TWRC_FAILURE;
    }
    info->ImageWidth = g_transfer.heldWidth;
    info->ImageLength = g_transfer.heldLength;
    info->SamplesPerPixel = 3;
    for (int i = 0; i < 8; ++i) info->BitsPerSample[i] = i < 3 ? 8 : 0;
    info->BitsPerPixel = 24;
    info->Planar = FALSE;
    info->PixelType = TWPT_RGB;
    info->Compression = TWCP_NONE;
    return TWRC_SUCCESS;
}
