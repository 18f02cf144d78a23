// dispatch.cpp — the DG_CONTROL and DG_IMAGE tables, in their row order.
#include "source/dispatch.h"

#include "source/capability_msg.h"
#include "source/control_ops.h"
#include "source/image_ops.h"
#include "source/setup_xfer_msgs.h"
#include "source/source_state.h"
#include "source/user_interface_msg.h"

const DispatchEntry CONTROL_TABLE[] = {
    {DAT_IDENTITY, IdentityMsg},
    {DAT_USERINTERFACE, InterfaceMsg},
    {DAT_CAPABILITY, CapabilityMsg},
    {DAT_STATUS, StatusMsg},
    {DAT_PENDINGXFERS, PendingXferMsg},
    {DAT_SETUPMEMXFER, SetupMemXferMsg},
    {DAT_SETUPFILEXFER, SetupFileXferMsg},
    {DAT_XFERGROUP, XferGroupMsg},
    {0, nullptr},
};

const DispatchEntry IMAGE_TABLE[] = {
    {DAT_IMAGEINFO, ImageInfoMsg},
    {DAT_IMAGELAYOUT, ImageLayoutMsg},
    {DAT_IMAGEMEMXFER, ImageMemXferMsg},
    {DAT_IMAGENATIVEXFER, ImageNativeXferMsg},
    {DAT_IMAGEFILEXFER, ImageFileXferMsg},
    {DAT_PALETTE8, Palette8Msg},
    {DAT_GRAYRESPONSE, GrayResponseMsg},
    {DAT_RGBRESPONSE, RGBResponseMsg},
    {DAT_CIECOLOR, CIEColorMsg},
    {DAT_JPEGCOMPRESSION, JPEGCompressionMsg},
    {0, nullptr},
};

TW_UINT16 Dispatch(TripletArgs* args, const DispatchEntry* table, TW_UINT16 dat) {
    for (const DispatchEntry* row = table; row->handler; ++row)
        if (row->dat == dat) return row->handler(args);
    g_source.conditionCode = TWCC_BADPROTOCOL;
    return TWRC_FAILURE;
}
