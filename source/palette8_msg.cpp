// palette8_msg.cpp — DAT_PALETTE8: the colour table of the camera's first
// picture (the decoder's pictures have none).
#include "image/dib.h"
#include "image/jpeg_decoder.h"
#include "platform/trace.h"
#include "source/error_box.h"
#include "source/image_ops.h"
#include "source/source_state.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"

namespace {

constexpr char TRACE_PALETTE8[] = "(PROT) : TW_UINT16 Palette8Msg";
constexpr char FAIL_PALETTE8[] = "General failure in response to DAT_PALETTE8.  ";
constexpr TW_UINT16 PALETTE_ENTRIES = 256;

TW_UINT16 answerPalette(pTW_PALETTE8 palette) {
    CameraDevice& link = cameraDevice();
    {
        BusyGuard busy;
        if (link.downloadPicture(0, nullptr) != LINK_OK) return TWRC_SUCCESS;
    }
    plat::MemBlock bitmap(link.decodePicture(DECODE_DISPLAY));
    plat::MemLock lock(bitmap.get());
    const auto* block = lock.as<const std::uint8_t>();
    DibLayout d;
    if (!block || !readDibLayout(block, plat::memSize(bitmap.get()), &d) ||
        d.headerSize < DIB_INFO_HEADER_SIZE)
        return TWRC_SUCCESS;

    palette->NumColors = static_cast<TW_UINT16>(d.coloursUsed);
    palette->PaletteType = TWPA_RGB;
    // Table entries are blue, green, red, reserved, after the header.
    const std::size_t colours = d.coloursUsed < PALETTE_ENTRIES ? d.coloursUsed : PALETTE_ENTRIES;
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint8_t* entry = block + d.headerSize + i * 4;
        palette->Colors[i].Index = static_cast<TW_UINT8>(i);
        palette->Colors[i].Channel1 = entry[2];
        palette->Colors[i].Channel2 = entry[1];
        palette->Colors[i].Channel3 = entry[0];
    }
    return TWRC_SUCCESS;
}

}  // namespace

TW_UINT16 Palette8Msg(TripletArgs* args) {
    TraceLog(TRACE_PALETTE8);
    if (!protocolStateIn(STATE_OPEN, STATE_ENABLED, STATE_XFERREADY))
        return failWith(TWCC_SEQERROR, FAIL_PALETTE8);
    switch (args->msg) {
        case MSG_GET: {
            auto* palette = static_cast<pTW_PALETTE8>(args->data);
            if (!palette) return failWith(TWCC_BADVALUE, FAIL_PALETTE8);
            return answerPalette(palette);
        }
        case MSG_GETDEFAULT:
        case MSG_SET:
        case MSG_RESET:
            return TWRC_SUCCESS;
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_PALETTE8);
    }
}
