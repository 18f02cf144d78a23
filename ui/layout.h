// layout.h — where everything of the camera window sits, in client pixels:
// the button table that hit testing and painting both read, the other
// regions, the skin bitmap ids and the window's colours.
#pragma once

#include "platform/surface.h"

enum class ButtonKind { Push, Toggle };

struct ButtonLayout {
    int index;
    int upFace;
    int downFace;
    plat::Rect rect;
    ButtonKind kind;
};

constexpr int BUTTON_LOAD = 0;
constexpr int BUTTON_EXIT = 1;
constexpr int BUTTON_SELECT_ALL = 2;
constexpr int BUTTON_DESELECT_ALL = 3;
constexpr int BUTTON_UPDATE = 4;
constexpr int BUTTON_SHOT = 5;
constexpr int BUTTON_DELETE = 6;
constexpr int BUTTON_MODE_T = 7;
constexpr int BUTTON_ROW_UP = 8;
constexpr int BUTTON_ROW_DOWN = 9;
constexpr int BUTTON_PAGE_UP = 10;
constexpr int BUTTON_PAGE_DOWN = 11;
constexpr int BUTTON_MODE_Q = 12;
constexpr int BUTTON_HELP = 13;
constexpr int LAYOUT_BUTTONS = 14;

// The released index when the point is over no button.
constexpr int NO_BUTTON = 255;

constexpr ButtonLayout BUTTON_TABLE[LAYOUT_BUTTONS] = {
    {BUTTON_LOAD, 169, 170, {236, 345, 317, 369}, ButtonKind::Push},
    {BUTTON_EXIT, 163, 164, {18, 345, 100, 369}, ButtonKind::Push},
    {BUTTON_SELECT_ALL, 167, 168, {169, 345, 234, 372}, ButtonKind::Push},
    {BUTTON_DESELECT_ALL, 165, 166, {102, 345, 167, 372}, ButtonKind::Push},
    {BUTTON_UPDATE, 171, 172, {455, 150, 519, 188}, ButtonKind::Push},
    {BUTTON_SHOT, 173, 174, {455, 190, 519, 228}, ButtonKind::Push},
    {BUTTON_DELETE, 194, 195, {455, 110, 519, 148}, ButtonKind::Push},
    {BUTTON_MODE_T, 176, 175, {460, 230, 512, 280}, ButtonKind::Toggle},
    {BUTTON_ROW_UP, 183, 184, {361, 342, 391, 371}, ButtonKind::Push},
    {BUTTON_ROW_DOWN, 185, 186, {392, 342, 422, 371}, ButtonKind::Push},
    {BUTTON_PAGE_UP, 179, 180, {330, 342, 360, 371}, ButtonKind::Push},
    {BUTTON_PAGE_DOWN, 181, 182, {423, 342, 453, 371}, ButtonKind::Push},
    {BUTTON_MODE_Q, 177, 178, {461, 285, 511, 337}, ButtonKind::Toggle},
    {BUTTON_HELP, 192, 193, {458, 370, 521, 395}, ButtonKind::Push},
};

// Other regions.
constexpr plat::Rect THUMBNAIL_AREA{0, 0, 450, 340};

// The thumbnail slots of a page, four to a row: each an 80 x 56 picture, what
// painting and hit testing both read.
constexpr int SLOT_COLUMNS = 4;
constexpr int SLOT_WIDTH = 80;
constexpr int SLOT_HEIGHT = 56;
constexpr plat::Rect slotRect(int slot) {
    const int left = 30 + 105 * (slot % SLOT_COLUMNS);
    const int top = 20 + 114 * (slot / SLOT_COLUMNS);
    return {left, top, left + SLOT_WIDTH, top + SLOT_HEIGHT};
}
// The middle of a slot's picture, where a click takes it.
constexpr int slotMiddleX(int slot) {
    return slotRect(slot).left + SLOT_WIDTH / 2;
}
constexpr int slotMiddleY(int slot) {
    return slotRect(slot).top + SLOT_HEIGHT / 2;
}
constexpr plat::Rect LOGO_AREA{460, 0, 515, 35};
constexpr plat::Rect UPPER_SPEED_SPOT{475, 38, 515, 48};
constexpr plat::Rect LOWER_SPEED_SPOT{475, 51, 515, 61};
constexpr plat::Rect SPEED_DOTS[2] = {{510, 41, 513, 44}, {510, 54, 513, 57}};
constexpr int BATTERY_X = 494;
constexpr int BATTERY_Y = 340;
constexpr int STATUS_X = 10;
constexpr int STATUS_Y = 378;
constexpr plat::Rect PROGRESS_RECT{294, 378, 450, 392};
constexpr plat::Rect PROGRESS_TROUGH{291, 375, 458, 395};
// The part of the background that a progress erase copies back.
constexpr int PROGRESS_ERASE_WIDTH = 167;
constexpr int PROGRESS_ERASE_HEIGHT = 20;

// The window: client picture, outer size, placement offsets.
constexpr int BACKGROUND_WIDTH = 526;
constexpr int BACKGROUND_HEIGHT = 400;
constexpr int WINDOW_WIDTH = 532;
constexpr int WINDOW_HEIGHT = 426;

// Skin bitmaps.
constexpr int BITMAP_BACKGROUND = 187;
constexpr int BITMAP_BATTERY_EMPTY = 206;
constexpr int BITMAP_BATTERY_HALF = 207;
constexpr int BITMAP_BATTERY_FULL = 208;
constexpr int BITMAP_BATTERY_LOW = 209;
constexpr int BITMAP_ABOUT = 203;
constexpr int ABOUT_TEMPLATE = 204;

// Colours.
constexpr plat::Color STATUS_BACKGROUND = plat::rgb(204, 204, 204);
constexpr plat::Color STATUS_TEXT = plat::rgb(0, 0, 0);
constexpr plat::Color DOT_LIT = plat::rgb(0, 255, 0);
constexpr plat::Color DOT_UNLIT = plat::rgb(180, 180, 180);
constexpr plat::Color PROGRESS_FILL = plat::rgb(0, 0, 255);
constexpr plat::Color LABEL_MARKED = plat::rgb(255, 55, 55);
constexpr plat::Color LABEL_PLAIN = plat::rgb(255, 255, 255);

constexpr bool inside(const plat::Rect& r, int x, int y) {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// The highest button index whose rectangle holds the point, NO_BUTTON when
// none (the index a release names).
constexpr int releasedButtonAt(int x, int y) {
    int found = NO_BUTTON;
    for (const ButtonLayout& b : BUTTON_TABLE)
        if (inside(b.rect, x, y)) found = b.index;
    return found;
}
