// skin_source.cpp — the skin pictures from the module's resources unless a
// stand-in is set.
#include "ui/skin_source.h"

#include "image/skin_bitmap.h"

namespace {
SkinSource g_skinSource = nullptr;
}  // namespace

plat::Bitmap skinPicture(HINSTANCE module, int id) {
    return g_skinSource ? g_skinSource(module, id) : loadSkinBitmap(module, id);
}

void setSkinSource(SkinSource source) {
    g_skinSource = source;
}
