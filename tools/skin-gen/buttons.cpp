// buttons.cpp — the button faces: captioned push buttons, scroll arrows,
// the self-timer dial and the picture-size toggle. A down face looks
// pressed: darker, lit from below, its content one pixel lower right.
#include <cmath>
#include <stdexcept>

#include "tools/skin-gen/layout.h"
#include "tools/skin-gen/skin_art.h"

namespace skin {
namespace {

constexpr Rgb BORDER = rgb(9, 10, 12);
constexpr Rgb STEEL = rgb(76, 84, 98);
constexpr Rgb CAPTION = rgb(244, 246, 250);
constexpr Rgb CAPTION_DOWN = rgb(200, 206, 216);
constexpr Rgb GLYPH = rgb(226, 231, 240);

Rgb lighter(Rgb c, int w) {
    return mix(c, WHITE, w, 10);
}
Rgb darker(Rgb c, int w) {
    return mix(c, BLACK, w, 10);
}

// The button body; returns the box its content goes in.
Box drawBody(Canvas& c, Rgb tint, bool down) {
    const Box all{0, 0, c.width(), c.height()};
    c.roundFill(all, 4, BORDER);
    const Box body = all.inset(1);
    if (down) {
        c.roundGradient(body, 3, darker(tint, 5), darker(tint, 1), 6);
        c.fill({body.left + 3, body.top, body.right - 3, body.top + 1}, darker(tint, 8));
        return body.moved(1, 1);
    }
    c.roundGradient(body, 3, lighter(tint, 3), darker(tint, 3), 6);
    c.fill({body.left + 3, body.top, body.right - 3, body.top + 1}, lighter(tint, 5));
    c.fill({body.left + 3, body.bottom - 1, body.right - 3, body.bottom}, darker(tint, 6));
    return body;
}

void caption(Fonts& f, Canvas& c, const Box& box, const char* text, bool down) {
    static const Face faces[] = {Face::SansBold, Face::Sans};
    for (Face face : faces)
        for (int px = std::min(12, box.height() - 6); px >= 7; --px)
            if (f.width(face, px, text) <= box.width() - 6) {
                f.drawCentred(c, face, px, box.moved(0, 1), text, BORDER);
                f.drawCentred(c, face, px, box, text, down ? CAPTION_DOWN : CAPTION);
                return;
            }
    throw std::runtime_error(std::string("caption does not fit: ") + text);
}

struct PushFace {
    int up;
    const char* text;
    Rgb tint;
    Rgb surround;
};

constexpr PushFace PUSH_FACES[] = {
    {163, "Exit", rgb(112, 70, 56), BACKDROP},
    {165, "Deselect All", STEEL, BACKDROP},
    {167, "Select All", STEEL, BACKDROP},
    {169, "Load", rgb(44, 122, 72), BACKDROP},
    {171, "Update", STEEL, PANEL},
    {173, "Shot", rgb(36, 98, 160), PANEL},
    {194, "Delete", rgb(150, 46, 46), PANEL},
    {192, "HELP", STEEL, PANEL},
};

}  // namespace

Canvas drawPushFace(Art& art, const SkinPicture& picture) {
    for (const PushFace& p : PUSH_FACES) {
        if (picture.id != p.up && picture.id != p.up + 1) continue;
        const bool down = picture.id == p.up + 1;
        Canvas c(picture.width, picture.height, p.surround);
        const Box content = drawBody(c, p.tint, down);
        caption(art.fonts, c, content, p.text, down);
        return c;
    }
    throw std::runtime_error("no push face " + std::to_string(picture.id));
}

Canvas drawArrowFace(Art&, const SkinPicture& picture) {
    // 179/180 page up, 181/182 page down, 183/184 row up, 185/186 row down.
    const int pair = (picture.id - 179) / 2;
    const bool down = (picture.id - 179) % 2 == 1;
    const bool pointsUp = pair == 0 || pair == 2;
    const bool twice = pair < 2;
    Canvas c(picture.width, picture.height, BACKDROP);
    const Box box = drawBody(c, STEEL, down);
    const double cx = box.left + box.width() / 2.0;
    const double half = 6.5;
    const Rgb glyph = down ? CAPTION_DOWN : GLYPH;
    auto arrow = [&](double tipY, double baseY) {
        c.triangle(cx, tipY, cx - half, baseY, cx + half, baseY, glyph);
    };
    const double mid = box.top + box.height() / 2.0;
    if (twice) {
        if (pointsUp) {
            arrow(mid - 8, mid - 1);
            arrow(mid, mid + 7);
        } else {
            arrow(mid + 8, mid + 1);
            arrow(mid, mid - 7);
        }
    } else if (pointsUp) {
        arrow(mid - 5, mid + 4);
    } else {
        arrow(mid + 5, mid - 4);
    }
    return c;
}

Canvas drawDialFace(Art& art, const SkinPicture& picture) {
    // 175 on (yellow, the pressed face), 176 off (grey).
    const bool on = picture.id == 175;
    Canvas c(picture.width, picture.height, PANEL);
    const Box box = drawBody(c, rgb(58, 64, 76), on);
    const double cx = box.left + box.width() / 2.0;
    const double cy = box.top + 20.0;
    const Rgb face = on ? rgb(252, 206, 36) : rgb(150, 155, 163);
    const Rgb ink = on ? rgb(70, 48, 0) : rgb(48, 52, 58);
    c.fill({static_cast<int>(cx) - 3, static_cast<int>(cy) - 19, static_cast<int>(cx) + 3,
            static_cast<int>(cy) - 15},
           BORDER);
    c.disc(cx, cy, 16, BORDER);
    c.disc(cx, cy, 15, face);
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        c.line(cx + 11 * std::sin(a), cy - 11 * std::cos(a), cx + 13.5 * std::sin(a),
               cy - 13.5 * std::cos(a), 1.3, ink);
    }
    const double hand = -M_PI / 3;
    c.line(cx, cy, cx + 10 * std::sin(hand), cy - 10 * std::cos(hand), 2, ink);
    c.disc(cx, cy, 2, ink);
    const Box text{box.left, box.bottom - 14, box.right, box.bottom - 2};
    art.fonts.drawCentred(c, Face::SansBold, 8, text, "TIMER", on ? face : CAPTION_DOWN);
    return c;
}

Canvas drawModeFace(Art& art, const SkinPicture& picture) {
    // 177 STD 640x480 (up), 178 ECO 320x240 (down).
    const bool eco = picture.id == 178;
    Canvas c(picture.width, picture.height, PANEL);
    const Box box = drawBody(c, eco ? rgb(40, 116, 70) : STEEL, eco);
    const Box top{box.left, box.top + 3, box.right, box.top + 26};
    const Box bottom{box.left, box.top + 27, box.right, box.bottom - 5};
    art.fonts.drawCentred(c, Face::SansBold, 15, top.moved(0, 1), eco ? "ECO" : "STD", BORDER);
    art.fonts.drawCentred(c, Face::SansBold, 15, top, eco ? "ECO" : "STD",
                          eco ? rgb(170, 250, 190) : CAPTION);
    art.fonts.drawCentred(c, Face::Sans, 8, bottom, eco ? "320x240" : "640x480",
                          eco ? CAPTION_DOWN : CAPTION);
    return c;
}

}  // namespace skin
