// image_layout_msg.cpp — DAT_IMAGELAYOUT: a fixed answer; MSG_SET and
// MSG_RESET change nothing.
#include "platform/trace.h"
#include "source/error_box.h"
#include "source/image_ops.h"

namespace {

constexpr char TRACE_IMAGE_LAYOUT[] = "(PROT) : TW_UINT16 ImageLayoutMsg";
constexpr char FAIL_IMAGE_LAYOUT[] = "General failure in response to DAT_IMAGEINFO.  ";

constexpr TW_FIX32 FRAME_SIDE{22, 33};

}  // namespace

TW_UINT16 ImageLayoutMsg(TripletArgs* args) {
    TraceLog(TRACE_IMAGE_LAYOUT);
    auto* layout = static_cast<pTW_IMAGELAYOUT>(args->data);
    switch (args->msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT:
            if (!layout) return failWith(TWCC_BADVALUE, FAIL_IMAGE_LAYOUT);
            layout->Frame.Left = FRAME_SIDE;
            layout->Frame.Top = FRAME_SIDE;
            layout->Frame.Right = FRAME_SIDE;
            layout->Frame.Bottom = FRAME_SIDE;
            layout->DocumentNumber = 4;
            layout->PageNumber = 88;
            layout->FrameNumber = 1;
            return TWRC_SUCCESS;
        case MSG_SET:
        case MSG_RESET:
            return TWRC_SUCCESS;
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_IMAGE_LAYOUT);
    }
}
