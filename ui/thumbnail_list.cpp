// thumbnail_list.cpp — the cached grid of camera thumbnails: fetching a
// page, refreshing against the camera, selection, hover and scrolling.
#include "ui/thumbnail_list.h"

#include <cstdio>

#include "image/draw_picture.h"
#include "image/jpeg_decoder.h"
#include "platform/prompt.h"
#include "platform/window.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/skin_source.h"
#include "ui/wait_cursor.h"
#include "ui/window_front_end.h"

namespace {

constexpr int FRAME = 5;
constexpr int LABEL_DX = 10;
constexpr int LABEL_DY = 78;
// A failed thumbnail: a download size below the decoder's minimum gives the
// blank white picture.
constexpr int32_t FAILED_THUMBNAIL_SIZE = 200;

// Frame pieces: normal, hover, selected; each left, right, top, bottom.
constexpr int FRAME_IDS[3][4] = {
    {102, 130, 131, 132},
    {137, 138, 139, 140},
    {141, 142, 143, 144},
};
enum { PIECE_LEFT, PIECE_RIGHT, PIECE_TOP, PIECE_BOTTOM };

void copyWhole(plat::Surface& surface, const plat::Bitmap& piece, int x, int y) {
    surface.copyBitmap(x, y, piece.width(), piece.height(), piece, 0, 0);
}

}  // namespace

ThumbnailList::ThumbnailList(HWND owner) : owner_(owner) {
    count = static_cast<uint8_t>(boundedPictureCount());
    firstVisible = 0;
    hoverIndex = NO_PICTURE;
    for (int s = 0; s < PAGE_SLOTS; ++s) slots[s] = s < count ? s : NO_SLOT;
    for (int set = 0; set < 3; ++set)
        for (int piece = 0; piece < 4; ++piece)
            frames_[set][piece] =
                skinPicture(windowFrontEnd().moduleInstance, FRAME_IDS[set][piece]);
    labelFont_ = plat::createFont(plat::FontFace::LabelSerif);
}

ThumbnailList::~ThumbnailList() = default;

bool ThumbnailList::valid() const {
    if (!labelFont_) return false;
    for (const auto& set : frames_)
        for (const plat::Bitmap& piece : set)
            if (piece.width() == 0) return false;
    return true;
}

ThumbnailCell* ThumbnailList::cell(int index) const {
    if (index < 0 || index >= LIST_CELLS) return nullptr;
    return cells_[index].get();
}

void ThumbnailList::dropCell(int index) {
    if (index < 0 || index >= LIST_CELLS) return;
    cells_[index].reset();
    for (int& entry : slots)
        if (entry == index) entry = NO_SLOT;
}

bool ThumbnailList::reloadPage() {
    BusyGuard busy;
    CameraDevice& link = cameraDevice();
    count = static_cast<uint8_t>(boundedPictureCount());
    if (firstVisible > 0 && firstVisible >= count)
        firstVisible = count > 0 ? static_cast<uint8_t>(count - 1) : 0;
    const int end = count - firstVisible > PAGE_SLOTS ? firstVisible + PAGE_SLOTS : count;

    WaitCursor wait;
    {
        plat::WindowCanvas canvas(owner_);
        canvas.surface().copyBitmap(THUMBNAIL_AREA.left, THUMBNAIL_AREA.top, THUMBNAIL_AREA.width(),
                                    THUMBNAIL_AREA.height(), g_window.background,
                                    THUMBNAIL_AREA.left, THUMBNAIL_AREA.top);
    }
    for (int& entry : slots) entry = NO_SLOT;

    for (int i = firstVisible; i < end; ++i) {
        g_window.continueLoading = 1;
        if (!cells_[i]) {
            if (link.downloadThumbnail(i, nullptr, !g_window.initialLoadPending) != LINK_OK) {
                link.markThumbnailFailed(FAILED_THUMBNAIL_SIZE);
            }
            if (!g_window.continueLoading) break;
            plat::MemHandle dib = link.decodePicture(DECODE_DISPLAY);
            if (!dib) {
                plat::PromptOptions options;
                options.icon = plat::Icon::Error;
                options.taskModal = true;
                (void)plat::messageBox(owner_, "Bad JPEG data", "KMT-18/19", options);
                break;
            }
            auto made = std::make_unique<ThumbnailCell>();
            made->thumbnail.reset(dib);
            made->owner = owner_;
            made->record = link.pictureInfo();
            cells_[i] = std::move(made);
        }
        slots[i - firstVisible] = i;
        drawCell(*cells_[i], i - firstVisible);
    }
    return g_window.continueLoading != 0;
}

void ThumbnailList::drawCachedPage() {
    for (int s = 0; s < PAGE_SLOTS; ++s)
        if (const ThumbnailCell* held = cell(slots[s])) drawCell(*held, s);
}

bool ThumbnailList::refreshFromCamera() {
    BusyGuard busy;
    WaitCursor wait;
    CameraDevice& link = cameraDevice();
    if (link.requestStatus() != LINK_OK) return false;
    const int newCount = boundedPictureCount();
    ProgressBar& progress = g_window.progress;
    progress.setMaximum(count);
    progress.setPosition(0);
    int step = 0;
    for (int i = count - 1; i >= 0; --i) {
        progress.setPosition(++step);
        if (i >= newCount) {
            dropCell(i);
        } else if (cells_[i]) {
            if (link.readPictureInfo(i) != LINK_OK) {
                progress.setPosition(0);
                return false;
            }
            if (link.pictureInfo() != cells_[i]->record) dropCell(i);
        }
    }
    count = static_cast<uint8_t>(newCount);
    progress.setPosition(0);
    hoverIndex = 0;
    return true;
}

void ThumbnailList::toggleSelection(int index) {
    if (index > firstVisible + PAGE_SLOTS && count > firstVisible + PAGE_SLOTS) {
        firstVisible = static_cast<uint8_t>(firstVisible + PAGE_SLOTS);
        reloadPage();
    }
    if (index < firstVisible) {
        firstVisible = static_cast<uint8_t>(index / 4 * 4);
        reloadPage();
    }
    ThumbnailCell* held = cell(index);
    if (!held) return;
    held->selected = !held->selected;
    const int slot = slotOf(index);
    if (slot != NO_SLOT) drawFrame(*held, slot);
}

void ThumbnailList::setAllSelected(int selected) {
    WaitCursor wait;
    for (int i = 0; i < count; ++i) {
        ThumbnailCell* held = cells_[i].get();
        if (!held) continue;
        const int was = held->selected;
        held->selected = selected;
        const bool visible = i >= firstVisible && i < firstVisible + PAGE_SLOTS;
        const int slot = slotOf(i);
        if (visible && was != selected && slot != NO_SLOT) drawFrame(*held, slot);
    }
}

void ThumbnailList::selectAll() {
    setAllSelected(1);
}

void ThumbnailList::deselectAll() {
    setAllSelected(0);
}

int ThumbnailList::hitTest(int x, int y) const {
    if (g_window.windowClosed) return NO_PICTURE;
    for (int s = 0; s < PAGE_SLOTS; ++s)
        if (slots[s] != NO_SLOT && cell(slots[s]) && inside(slotRect(s), x, y)) return slots[s];
    return NO_PICTURE;
}

int ThumbnailList::slotOf(int index) const {
    if (index == NO_PICTURE) return NO_SLOT;
    for (int s = 0; s < PAGE_SLOTS; ++s)
        if (slots[s] == index) return s;
    return NO_SLOT;
}

void ThumbnailList::setHover(int index) {
    ThumbnailCell* held = cell(index);
    if (!held) return;
    held->hover = 1;
    const int slot = slotOf(index);
    if (slot != NO_SLOT) drawFrame(*held, slot);
}

void ThumbnailList::trackHover(int x, int y) {
    const int d = hitTest(x, y);
    ThumbnailCell* last = cell(hoverIndex);
    const int lastSlot = slotOf(hoverIndex);
    if (d == NO_PICTURE) {
        if (last && lastSlot != NO_SLOT) {
            last->hover = 0;
            drawFrame(*last, lastSlot);
        }
        return;
    }
    if (hoverIndex != d && last && lastSlot != NO_SLOT) {
        last->hover = 0;
        drawFrame(*last, lastSlot);
    }
    hoverIndex = d;
    setHover(d);
}

void ThumbnailList::scrollList(int command) {
    int first = firstVisible;
    const int n = count;
    switch (command) {
        case SCROLL_ROW_UP:
            if (first >= 4)
                first -= 4;
            else if (first > 0)
                first = 0;
            break;
        case SCROLL_ROW_DOWN:
            if (first + 4 < n) first += 4;
            break;
        case SCROLL_PAGE_UP:
            if (first >= PAGE_SLOTS)
                first -= PAGE_SLOTS;
            else if (first > 0)
                first = 0;
            break;
        case SCROLL_PAGE_DOWN:
            if (first + PAGE_SLOTS < n) first += PAGE_SLOTS;
            break;
        case SCROLL_HOME:
            if (n > 0 && first > 0) first = 0;
            break;
        case SCROLL_END:
            if (n > 0 && first < n - 4) first = n / 4 * 4 - 4;
            break;
        default:
            return;
    }
    if (first == firstVisible) return;
    firstVisible = static_cast<uint8_t>(first);
    reloadPage();
}

void ThumbnailList::drawCell(const ThumbnailCell& held, int slot) {
    const plat::Rect r = slotRect(slot);
    {
        plat::WindowCanvas canvas(owner_);
        plat::Surface& surface = canvas.surface();
        (void)drawPicture(surface, r, held.thumbnail.get(), {0, 0, SLOT_WIDTH, SLOT_HEIGHT},
                          nullptr);
    }
    drawFrame(held, slot);
    if (!labelFont_) return;
    char label[8];
    std::snprintf(label, sizeof label, "%3d", held.record.pictureNumber);
    plat::WindowCanvas canvas(owner_);
    canvas.surface().drawText(*labelFont_, r.left + LABEL_DX, r.top + LABEL_DY, label,
                              held.record.marker ? LABEL_MARKED : LABEL_PLAIN, nullptr);
}

void ThumbnailList::drawFrame(const ThumbnailCell& held, int slot) {
    if (slot < 0 || slot >= PAGE_SLOTS) return;
    const int set = held.selected ? 2 : held.hover ? 1 : 0;
    const plat::Bitmap* pieces = frames_[set];
    const plat::Rect r = slotRect(slot);
    plat::WindowCanvas canvas(owner_);
    plat::Surface& surface = canvas.surface();
    copyWhole(surface, pieces[PIECE_LEFT], r.left - FRAME, r.top - FRAME);
    copyWhole(surface, pieces[PIECE_TOP], r.left, r.top - FRAME);
    copyWhole(surface, pieces[PIECE_RIGHT], r.left + SLOT_WIDTH, r.top - FRAME);
    copyWhole(surface, pieces[PIECE_BOTTOM], r.left, r.top + SLOT_HEIGHT);
}
