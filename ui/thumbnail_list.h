// thumbnail_list.h — the picture browser of the camera window: one cell per
// camera picture with its decoded thumbnail, twelve shown at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "camera/camera_replies.h"
#include "platform/memory.h"
#include "platform/os_types.h"
#include "platform/surface.h"

constexpr int LIST_CELLS = 180;
constexpr int PAGE_SLOTS = 12;
constexpr int NO_SLOT = 255;
constexpr int NO_PICTURE = 255;

// Scroll commands (button indices and keys).
constexpr int SCROLL_ROW_UP = 8;
constexpr int SCROLL_ROW_DOWN = 9;
constexpr int SCROLL_PAGE_UP = 10;
constexpr int SCROLL_PAGE_DOWN = 11;
constexpr int SCROLL_HOME = 14;
constexpr int SCROLL_END = 15;

struct ThumbnailCell {
    plat::MemBlock thumbnail;  // 80 x 56 picture block, display layout
    HWND owner = nullptr;
    int selected = 0;
    int hover = 0;
    PictureInfo record;  // the link's record when the thumbnail was fetched
};

class ThumbnailList {
public:
    explicit ThumbnailList(HWND owner);
    ~ThumbnailList();
    ThumbnailList(const ThumbnailList&) = delete;
    ThumbnailList& operator=(const ThumbnailList&) = delete;

    // Draws the visible page, fetching missing thumbnails; the continue flag.
    bool reloadPage();
    bool refreshFromCamera();
    void toggleSelection(int index);
    void selectAll();
    void deselectAll();
    int hitTest(int x, int y) const;
    int slotOf(int index) const;
    void setHover(int index);
    // Hover tracking of one mouse move.
    void trackHover(int x, int y);
    void scrollList(int command);
    void drawCell(const ThumbnailCell& cell, int slot);
    void drawFrame(const ThumbnailCell& cell, int slot);
    // Drops the cell held for index (if any).
    void dropCell(int index);
    // Draws the cells of the current slot table, fetching nothing (painting
    // inside a camera exchange).
    void drawCachedPage();
    // The frame pictures and the label font could all be had.
    bool valid() const;

    ThumbnailCell* cell(int index) const;

    uint8_t count = 0;
    uint8_t firstVisible = 0;
    int hoverIndex = NO_PICTURE;
    int slots[PAGE_SLOTS] = {};

private:
    void setAllSelected(int selected);

    HWND owner_;
    std::unique_ptr<ThumbnailCell> cells_[LIST_CELLS];
    plat::Bitmap frames_[3][4];  // normal, hover, selected: left, right, top, bottom
    std::unique_ptr<plat::Font> labelFont_;
};
