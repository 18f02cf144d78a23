// about.cpp — the credits picture of the About box.
#include <algorithm>

#include "tools/skin-gen/layout.h"
#include "tools/skin-gen/skin_art.h"

namespace skin {
namespace {

void drawCamera(Canvas& c, int left, int top) {
    const Rgb body = rgb(70, 78, 92);
    c.roundFill({left + 8, top, left + 26, top + 8}, 2, rgb(52, 58, 70));
    c.roundFill({left, top + 5, left + 64, top + 46}, 6, rgb(10, 11, 14));
    c.roundGradient({left + 1, top + 6, left + 63, top + 45}, 5, mix(body, WHITE, 2, 10),
                    mix(body, BLACK, 3, 10), 6);
    c.fill({left + 48, top + 10, left + 58, top + 16}, rgb(230, 232, 236));
    const double cx = left + 30, cy = top + 26;
    c.disc(cx, cy, 15, rgb(10, 11, 14));
    c.disc(cx, cy, 12, ACCENT_DARK);
    c.disc(cx, cy, 8, ACCENT);
    c.disc(cx, cy, 4, rgb(10, 11, 14));
    c.disc(cx - 4, cy - 4, 2, rgb(190, 230, 255));
}

void centred(Fonts& f, Canvas& c, Face face, int px, int baseline, const std::string& text,
             Rgb color) {
    while (px > 7 && f.width(face, px, text) > c.width() - 20) --px;
    const int x = (c.width() - f.width(face, px, text)) / 2;
    f.draw(c, face, px, x, baseline, text, color);
}

}  // namespace

Canvas drawAbout(Art& art, const SkinPicture& picture) {
    Fonts& f = art.fonts;
    Canvas c(picture.width, picture.height, BACKDROP);
    c.gradient({0, 0, c.width(), c.height()}, rgb(30, 40, 60), rgb(12, 14, 19), 8);
    c.outline({0, 0, c.width(), c.height()}, ACCENT_DARK);

    drawCamera(c, 28, 26);
    f.draw(c, Face::SansBold, 40, 112, 68, "pxcm", WHITE);
    f.draw(c, Face::Sans, 11, 114, 88, "version 1.6", LABEL);
    c.fill({20, 106, c.width() - 20, 107}, ACCENT);

    centred(f, c, Face::Sans, 11, 134, "pxcm \u2014 TWAIN data source for the KMT-18/19 camera",
            WHITE);
    centred(f, c, Face::Serif, 11, 160, "Written by the pxcm developers", LABEL);
    centred(f, c, Face::Sans, 9, 184, "Free software: see the licence that comes with pxcm.",
            LABEL);
    centred(f, c, Face::Sans, 9, 238, "Click anywhere to close", rgb(120, 130, 148));
    return c;
}

}  // namespace skin
