// transfer_state.cpp — the current image and the memory-transfer position.
#include "source/transfer_state.h"

#include "image/dib.h"

TransferState g_transfer;

void storeCurrentImage(plat::MemHandle image) {
    if (g_transfer.currentImage && g_transfer.currentImage != image)
        plat::memFree(g_transfer.currentImage);
    g_transfer.currentImage = image;
    g_transfer.heldWidth = 0;
    g_transfer.heldLength = 0;
    plat::MemLock block(image);
    if (block && plat::memSize(image) >= sizeof(DibHeader)) {
        const DibHeader h = copyDibHeader(block.get());
        g_transfer.heldWidth = h.biWidth;
        g_transfer.heldLength = h.biHeight;
    }
    // A position left over from an abandoned transfer belongs to the old
    // picture: the new one starts at its first row.
    g_transfer.bytesSent = 0;
    g_transfer.stripCalls = 0;
}

void dropCurrentImage() {
    storeCurrentImage(nullptr);
    g_transfer.fetchAgain = TRUE;
}

bool pictureHeld() {
    return g_transfer.heldWidth > 0 && g_transfer.heldLength > 0;
}

void resetTransferState() {
    if (g_transfer.currentImage) plat::memFree(g_transfer.currentImage);
    g_transfer = TransferState{};
}
