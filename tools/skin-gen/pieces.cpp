// pieces.cpp — the thumbnail frame pieces and the battery gauge pictures.
#include <stdexcept>

#include "tools/skin-gen/layout.h"
#include "tools/skin-gen/skin_art.h"

namespace skin {
namespace {

constexpr int RING_WIDTH = CELL_WIDTH + 2 * FRAME;
constexpr int RING_HEIGHT = CELL_HEIGHT + 2 * FRAME;

// A whole frame around one cell, lit in `base`.
Canvas ring(Rgb base) {
    Canvas c(RING_WIDTH, RING_HEIGHT, base);
    for (int y = 0; y < RING_HEIGHT; ++y)
        for (int x = 0; x < RING_WIDTH; ++x) {
            const int d =
                std::min(std::min(x, y), std::min(RING_WIDTH - 1 - x, RING_HEIGHT - 1 - y));
            if (d == 0) c.set(x, y, mix(base, BLACK, 5, 10));
            if (d == 1) c.set(x, y, mix(base, WHITE, 4, 10));
            if (d == 4) c.set(x, y, mix(base, BLACK, 3, 10));
        }
    return c;
}

// The piece of a ring at (x, y) in ring coordinates for a piece id of the
// set starting at `first` (left, right, top, bottom).
Canvas cut(const Canvas& from, int fx, int fy, int piece, int w, int h) {
    static const int X[4] = {0, FRAME + CELL_WIDTH, FRAME, FRAME};
    static const int Y[4] = {0, 0, 0, FRAME + CELL_HEIGHT};
    Canvas c(w, h, BLACK);
    c.paste(from, fx + X[piece], fy + Y[piece], w, h, 0, 0);
    return c;
}

}  // namespace

Canvas drawFramePiece(Art& art, const SkinPicture& picture) {
    const int id = picture.id;
    if (id == 102 || (id >= 130 && id <= 132)) {
        const int piece = id == 102 ? 0 : id - 129;
        // Cut from the background around the first cell.
        return cut(art.background, CELL_LEFTS[0] - FRAME, CELL_TOPS[0] - FRAME, piece,
                   picture.width, picture.height);
    }
    if (id >= 137 && id <= 140)
        return cut(ring(rgb(104, 186, 255)), 0, 0, id - 137, picture.width, picture.height);
    if (id >= 141 && id <= 144)
        return cut(ring(rgb(255, 176, 0)), 0, 0, id - 141, picture.width, picture.height);
    throw std::runtime_error("no frame piece " + std::to_string(id));
}

Canvas drawBattery(Art&, const SkinPicture& picture) {
    // 206 unknown, 207 half, 208 full, 209 low.
    Canvas c(picture.width, picture.height, PANEL);
    const Rgb shell = rgb(200, 205, 214);
    c.outline({2, 7, 22, 19}, shell);
    c.fill({22, 10, 24, 16}, shell);
    c.fill({3, 8, 21, 18}, rgb(16, 17, 20));
    int segments = 0;
    Rgb charge = BLACK;
    switch (picture.id) {
        case 208:
            segments = 3;
            charge = rgb(64, 204, 88);
            break;
        case 207:
            segments = 2;
            charge = rgb(232, 192, 40);
            break;
        case 209:
            segments = 1;
            charge = rgb(232, 60, 48);
            break;
        default:
            break;
    }
    for (int i = 0; i < segments; ++i) c.fill({4 + 6 * i, 9, 9 + 6 * i, 17}, charge);
    if (picture.id == 206) {
        const Rgb cross = rgb(236, 40, 40);
        c.line(3.5, 3.5, 22.5, 21.5, 2.6, cross);
        c.line(22.5, 3.5, 3.5, 21.5, 2.6, cross);
    }
    return c;
}

}  // namespace skin
