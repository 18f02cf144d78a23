// window_transfer.cpp — one picture from the camera into the current image:
// choice from the selection, download with the window's progress bar and
// status line, full-picture decoding, selection update.
#include "ui/window_transfer.h"

#include <cstdio>

#include "image/jpeg_decoder.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/wait_cursor.h"
#include "ui/window_front_end.h"
#include "ui/window_handlers.h"

namespace {

constexpr int PROGRESS_MAXIMUM = 100;
constexpr int STATUS_BLANKS = 61;
constexpr char DOWNLOADING_TEXT[] = "Downloading image number %i...";
constexpr char TRANSFERRING_TEXT[] = "Transferring to application software...";

// Brings picture i into the shown page.
void scrollTo(ThumbnailList& list, int i) {
    if (i > list.firstVisible + (PAGE_SLOTS - 1)) {
        list.firstVisible = static_cast<uint8_t>(i);
        list.reloadPage();
    } else if (i < list.firstVisible) {
        list.firstVisible = static_cast<uint8_t>(i / PAGE_SLOTS * PAGE_SLOTS);
        list.reloadPage();
    }
}

// A double-clicked picture is marked selected before its download.
void markSelected(ThumbnailList& list, int i) {
    ThumbnailCell* cell = list.cell(i);
    if (!cell || cell->selected) return;
    cell->selected = 1;
    const int slot = i - list.firstVisible;
    if (slot >= 0 && slot < PAGE_SLOTS) list.drawFrame(*cell, slot);
}

}  // namespace

int acquireNextPicture(StoreImage store) {
    if (!g_window.list) return 0;
    BusyGuard busy;

    // The picture is the one the Load handed over next, not the lowest
    // selected: a skipped picture stays selected and is not delivered.
    const bool allSelected = g_window.transferIndex == TRANSFER_ALL_SELECTED;
    const int i = frontEndNextPicture();
    if (i < 0 || i >= LIST_CELLS) return 0;
    if (allSelected)
        scrollTo(*g_window.list, i);
    else
        markSelected(*g_window.list, i);

    WaitCursor wait;
    g_window.progress.setMaximum(PROGRESS_MAXIMUM);
    g_window.progress.setPosition(0);
    char text[64];
    std::snprintf(text, sizeof text, DOWNLOADING_TEXT, i + 1);
    drawStatusLine(text);

    CameraDevice& link = cameraDevice();
    const LinkResult result = link.downloadPicture(i, &g_window.progress);
    // Pictures deleted on the camera since Load renumber the rest: a download
    // whose information differs from the cell's is another picture.
    const ThumbnailCell* held = g_window.list ? g_window.list->cell(i) : nullptr;
    const bool samePicture = !held || link.pictureInfo() == held->record;
    bool stored = false;
    if (result == LINK_OK && samePicture) {
        drawStatusLine(TRANSFERRING_TEXT);
        plat::MemHandle picture = link.decodePicture(DECODE_FULL_PICTURE);
        stored = picture != nullptr;
        store(picture);
        // A box of the download may have let the user close the window.
        const ThumbnailCell* cell = g_window.list ? g_window.list->cell(i) : nullptr;
        if (allSelected && cell && cell->selected) g_window.list->toggleSelection(i);
    } else {
        if (result == LINK_OK)
            windowMessage(DIFFERENT_PHOTOS, plat::Buttons::Ok, plat::Icon::Error);
        // A picture that stayed damaged through its downloads: the decoder's
        // own box tells what it found, and the picture is not transferred.
        if (result == LINK_DAMAGED) {
            const plat::MemBlock discarded(link.decodePicture(DECODE_FULL_PICTURE));
        }
        // The camera no longer matches the list: the rest of the Load goes too.
        if (g_window.list) g_window.list->deselectAll();
        frontEndDropPending();
    }

    g_window.progress.setPosition(0);
    clearStatusLine(STATUS_BLANKS);
    // Only a picture that is now the current image counts: after a decoding
    // failure the transfers must not fetch the next picture in its place.
    return stored ? 1 : 0;
}
