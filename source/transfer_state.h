// transfer_state.h — the picture being handed to the application and the
// position of a memory transfer in it: one copy for the module.
#pragma once

#include <cstdint>

#include "platform/memory.h"
#include "platform/os_types.h"
#include "source/memory_limits.h"

struct TransferState {
    // Full-picture layout: 40-byte header, unpadded RGB rows, top row first.
    plat::MemHandle currentImage = nullptr;
    // Whether a transfer that finds no current image may fetch one itself.
    BOOL fetchAgain = TRUE;
    // The size of the picture last stored, kept after it is handed over and
    // until its transfer ends: DAT_IMAGEINFO describes it again without a
    // second download. 0 x 0 when none is held.
    std::int32_t heldWidth = 0;
    std::int32_t heldLength = 0;
    // Bytes of the current image already delivered by memory transfers.
    std::uint32_t bytesSent = 0;
    // The buffer sizes a strip may have, read at the image's first strip: the
    // settings file is not parsed again for each of its rows.
    MemoryLimits stripLimits;
    // Memory-transfer calls since the last picture was finished or abandoned.
    std::int32_t stripCalls = 0;
};

extern TransferState g_transfer;

// Replaces the current image (the previous one is freed), holds its size for
// DAT_IMAGEINFO and starts the memory-transfer position again at its first
// row.
void storeCurrentImage(plat::MemHandle image);
// The end of the announced picture (MSG_ENDXFER, MSG_RESET, MSG_DISABLEDS,
// MSG_CLOSEDS, unload): a picture fetched for it and not handed over is
// freed, so that no later transfer delivers it in place of its own, and the
// next DAT_IMAGEINFO fetches the next picture.
void dropCurrentImage();
// Whether a picture of this transfer is held (stored, or already handed
// over) for DAT_IMAGEINFO to describe.
bool pictureHeld();
// Back to the state at load, freeing any current image (tests, unload).
void resetTransferState();
