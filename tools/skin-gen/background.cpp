// background.cpp — the camera window's background: film-like strips behind
// the thumbnail cells, the side panel with logo, speed labels and battery
// socket, the status bar and the progress trough.
#include "tools/skin-gen/layout.h"
#include "tools/skin-gen/skin_art.h"

namespace skin {
namespace {

constexpr int LABEL_PIXELS = 8;

void drawStrip(Canvas& c, int top) {
    const Box strip{6, top - 12, 444, top + CELL_HEIGHT + 34};
    c.fill(strip, STRIP);
    for (int y = strip.top + 3; y < strip.bottom - 2; y += 4)
        for (int x = strip.left + 3; x < strip.right - 2; x += 4) c.set(x, y, STRIP_DOT);
    c.bevel(strip, STRIP_LIGHT, STRIP_DARK);
}

// The well around a cell is flat where the frame pieces go, so that the
// normal pieces, cut from here, fit every cell.
void drawWell(Canvas& c, int left, int top) {
    const Box ring{left - FRAME, top - FRAME, left + CELL_WIDTH + FRAME, top + CELL_HEIGHT + FRAME};
    c.bevel(ring.inset(-1), WELL_SHADOW, WELL_LIGHT);
    c.fill(ring, WELL);
    c.fill({left, top, left + CELL_WIDTH, top + CELL_HEIGHT}, CELL_EMPTY);
    // A tag behind the picture number drawn at (left + 10, top + 78).
    c.roundFill({left + 6, top + 76, left + 36, top + 89}, 3, WELL);
}

void drawSocket(Canvas& c, const Box& rect) {
    // Faces are one pixel larger than their rectangle.
    c.bevel({rect.left - 1, rect.top - 1, rect.right + 2, rect.bottom + 2}, WELL_SHADOW,
            WELL_LIGHT);
}

void rightAligned(Fonts& f, Canvas& c, int right, int baseline, const char* text) {
    const int w = f.width(Face::Sans, LABEL_PIXELS, text);
    f.draw(c, Face::Sans, LABEL_PIXELS, right - w, baseline, text, LABEL);
}

}  // namespace

Canvas drawBackground(Fonts& f) {
    Canvas c(WINDOW_WIDTH, WINDOW_HEIGHT, BACKDROP);

    c.fill(THUMBNAIL_AREA, rgb(24, 26, 31));
    for (int top : CELL_TOPS) drawStrip(c, top);
    for (int top : CELL_TOPS)
        for (int left : CELL_LEFTS) drawWell(c, left, top);

    // Side panel.
    c.fill({454, 0, WINDOW_WIDTH, WINDOW_HEIGHT}, PANEL);
    c.fill({454, 0, 455, WINDOW_HEIGHT}, PANEL_EDGE);
    c.fill({0, 340, 454, 341}, STRIP_DARK);
    c.fill({0, 341, 454, 342}, PANEL_EDGE);

    // Logo.
    const Box logo{462, 4, 514, 32};
    c.roundFill(logo.inset(-1), 5, WELL_SHADOW);
    c.roundGradient(logo, 4, ACCENT, ACCENT_DARK, 5);
    c.fill({logo.left + 4, logo.top + 1, logo.right - 4, logo.top + 2}, rgb(90, 180, 240));
    f.drawCentred(c, Face::SansBold, 15, logo.moved(0, -1), "pxcm", WHITE);

    // Speed selector: labels left of the two dots.
    rightAligned(f, c, 507, 46, "56000");
    rightAligned(f, c, 507, 59, "115200");
    for (const Box& dot : SPEED_DOTS) c.bevel(dot.inset(-1), WELL_SHADOW, WELL_LIGHT);
    c.fill({462, 66, 518, 67}, PANEL_EDGE);
    c.fill({462, 104, 518, 105}, PANEL_EDGE);
    f.drawCentred(c, Face::SansBold, 9, {456, 72, 524, 84}, "KMT-18/19", LABEL);
    f.drawCentred(c, Face::Sans, 8, {456, 86, 524, 98}, "camera", rgb(120, 130, 148));

    // Battery gauge socket and label.
    c.bevel(BATTERY_GAUGE.inset(-1), WELL_SHADOW, WELL_LIGHT);
    rightAligned(f, c, 491, 356, "Battery");

    // Status bar and progress trough.
    c.fill({STATUS_BAR.left, STATUS_BAR.top - 1, STATUS_BAR.right, STATUS_BAR.top},
           rgb(96, 96, 96));
    c.fill(STATUS_BAR, STATUS_GREY);
    c.fill({STATUS_BAR.left, STATUS_BAR.bottom, STATUS_BAR.right, STATUS_BAR.bottom + 1},
           rgb(70, 72, 80));
    c.fill(PROGRESS_TROUGH, rgb(48, 52, 60));
    c.bevel(PROGRESS_TROUGH, rgb(74, 80, 92), rgb(20, 22, 26));
    c.bevel(PROGRESS_BAR.inset(-1), WELL_SHADOW, WELL_LIGHT);
    c.fill(PROGRESS_BAR, TROUGH);

    // Sockets under the push buttons (the two mode toggles have none).
    for (int i = 0; i < 14; ++i)
        if (i != 7 && i != 12) drawSocket(c, BUTTON_RECTS[i]);
    return c;
}

}  // namespace skin
