// transfer_state.cpp — the current image and the memory-transfer position.
#include "source/transfer_state.h"

TransferState g_transfer;

void storeCurrentImage(plat::MemHandle image) {
    if (g_transfer.currentImage && g_transfer.currentImage != image)
        plat::memFree(g_transfer.currentImage);
    g_transfer.currentImage = image;
    // A position left over from an abandoned transfer belongs to the old
    // picture: the new one starts at its first row.
    g_transfer.bytesSent = 0;
    g_transfer.stripCalls = 0;
}

void dropCurrentImage() {
    storeCurrentImage(nullptr);
    g_transfer.fetchAgain = TRUE;
}

void resetTransferState() {
    if (g_transfer.currentImage) plat::memFree(g_transfer.currentImage);
    g_transfer = TransferState{};
}
