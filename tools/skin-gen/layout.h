// layout.h — where the camera window puts things, as the artwork needs to
// know it, and the skin's colours.
#pragma once

#include "tools/skin-gen/canvas.h"

namespace skin {

constexpr int WINDOW_WIDTH = 526;
constexpr int WINDOW_HEIGHT = 400;

// Thumbnail cells: 80 x 56 at these columns and rows.
constexpr int CELL_WIDTH = 80;
constexpr int CELL_HEIGHT = 56;
constexpr int CELL_LEFTS[4] = {30, 135, 240, 345};
constexpr int CELL_TOPS[3] = {20, 134, 248};
// The frame pieces lie this far around a cell.
constexpr int FRAME = 5;

// Rectangles of the 14 buttons in the window's order.
constexpr Box BUTTON_RECTS[14] = {
    {236, 345, 317, 369}, {18, 345, 100, 369},  {169, 345, 234, 372}, {102, 345, 167, 372},
    {455, 150, 519, 188}, {455, 190, 519, 228}, {455, 110, 519, 148}, {460, 230, 512, 280},
    {361, 342, 391, 371}, {392, 342, 422, 371}, {330, 342, 360, 371}, {423, 342, 453, 371},
    {461, 285, 511, 337}, {458, 370, 521, 395},
};

constexpr Box THUMBNAIL_AREA = {0, 0, 450, 340};
constexpr Box LOGO_AREA = {460, 0, 515, 35};
constexpr Box SPEED_DOTS[2] = {{510, 41, 513, 44}, {510, 54, 513, 57}};
constexpr Box BATTERY_GAUGE = {494, 340, 520, 365};
constexpr Box STATUS_BAR = {0, 375, 291, 395};
constexpr Box PROGRESS_TROUGH = {291, 375, 458, 395};
constexpr Box PROGRESS_BAR = {294, 378, 450, 392};

// Colours.
constexpr Rgb BACKDROP = rgb(27, 29, 34);
constexpr Rgb PANEL = rgb(36, 39, 46);
constexpr Rgb PANEL_EDGE = rgb(58, 63, 74);
constexpr Rgb STRIP = rgb(40, 44, 52);
constexpr Rgb STRIP_DOT = rgb(47, 52, 61);
constexpr Rgb STRIP_LIGHT = rgb(60, 66, 77);
constexpr Rgb STRIP_DARK = rgb(18, 19, 23);
constexpr Rgb WELL = rgb(21, 23, 27);
constexpr Rgb WELL_SHADOW = rgb(11, 12, 14);
constexpr Rgb WELL_LIGHT = rgb(66, 72, 84);
constexpr Rgb CELL_EMPTY = rgb(13, 14, 17);
constexpr Rgb STATUS_GREY = rgb(204, 204, 204);
constexpr Rgb TROUGH = rgb(12, 13, 16);
constexpr Rgb LABEL = rgb(176, 184, 198);
constexpr Rgb ACCENT = rgb(0, 132, 214);
constexpr Rgb ACCENT_DARK = rgb(0, 78, 140);
constexpr Rgb WHITE = rgb(255, 255, 255);
constexpr Rgb BLACK = rgb(0, 0, 0);

}  // namespace skin
