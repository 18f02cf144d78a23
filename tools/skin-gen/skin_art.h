// skin_art.h — the skin pictures: their table (id, file, size, depth) and
// the drawing of each.
#pragma once

#include <string>
#include <vector>

#include "tools/skin-gen/canvas.h"
#include "tools/skin-gen/text.h"

namespace skin {

struct Art;
struct SkinPicture;
using DrawFn = Canvas (*)(Art& art, const SkinPicture& picture);

struct SkinPicture {
    int id;
    const char* file;  // e.g. "187-background.bmp"
    int width;
    int height;
    int bitsPerPixel;
    DrawFn draw;
};

// Shared by the drawings: the fonts and the finished background, from which
// the normal frame pieces are cut so that they match it.
struct Art {
    Fonts fonts;
    Canvas background;
    Art();
};

const std::vector<SkinPicture>& skinPictures();

// The drawings (background.cpp, buttons.cpp, pieces.cpp, about.cpp).
Canvas drawBackground(Fonts& fonts);
Canvas drawPushFace(Art& art, const SkinPicture& picture);
Canvas drawArrowFace(Art& art, const SkinPicture& picture);
Canvas drawDialFace(Art& art, const SkinPicture& picture);
Canvas drawModeFace(Art& art, const SkinPicture& picture);
Canvas drawBattery(Art& art, const SkinPicture& picture);
Canvas drawFramePiece(Art& art, const SkinPicture& picture);
Canvas drawAbout(Art& art, const SkinPicture& picture);
Canvas copyBackground(Art& art, const SkinPicture& picture);

}  // namespace skin
