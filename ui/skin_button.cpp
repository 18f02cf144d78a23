// skin_button.cpp — a two-face button painted from skin bitmaps.
#include "platform/window.h"
#include "ui/layout.h"
#include "ui/skin_controls.h"
#include "ui/skin_source.h"

int SkinButton::initialise(HWND owner, HINSTANCE module, int upFaceId, int downFaceId,
                           const plat::Rect& rect) {
    owner_ = owner;
    rect_ = rect;
    up_ = skinPicture(module, upFaceId);
    if (up_.width() == 0) return 1;
    down_ = skinPicture(module, downFaceId);
    if (down_.width() == 0) return 2;
    faceUp_ = 1;
    return 0;
}

void SkinButton::draw() const {
    if (!owner_) return;
    plat::WindowCanvas canvas(owner_);
    draw(canvas.surface());
}

void SkinButton::draw(plat::Surface& surface) const {
    const plat::Bitmap& face = faceUp_ ? up_ : down_;
    if (face.width() == 0) return;
    surface.copyBitmap(rect_.left, rect_.top, face.width(), face.height(), face, 0, 0);
}

int SkinButton::contains(int x, int y) const {
    return inside(rect_, x, y) ? 1 : 0;
}

void SkinButton::destroy() {
    up_ = plat::Bitmap();
    down_ = plat::Bitmap();
    owner_ = nullptr;
}
