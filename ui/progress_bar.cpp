// progress_bar.cpp — the blue bar of deletions, refreshes and downloads.
#include <algorithm>

#include "platform/window.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/skin_controls.h"

void ProgressBar::create(HWND owner, const plat::Rect& rect) {
    owner_ = owner;
    rect_ = rect;
    maximum_ = 100;
    position_ = 0;
    width_ = rect.right - rect.left;
    draw(true);
}

void ProgressBar::setMaximum(int maximum) {
    maximum_ = maximum;
}

int ProgressBar::setPositionChecked(int position) {
    if (position > maximum_) return 1;
    position_ = position;
    if (position != 0 && fillWidth() == drawnFill_) return 0;
    draw(position == 0);
    return 0;
}

int ProgressBar::fillWidth() const {
    // A maximum of 0 only comes with position 0: nothing to fill, no scale.
    if (position_ == 0 || maximum_ == 0) return 0;
    const double scale = static_cast<double>(width_) / maximum_;
    return static_cast<int>(position_ * scale);
}

void ProgressBar::draw(bool erase) const {
    if (!owner_) return;
    plat::WindowCanvas canvas(owner_);
    plat::Surface& surface = canvas.surface();
    if (erase)
        surface.copyBitmap(PROGRESS_TROUGH.left, PROGRESS_TROUGH.top, PROGRESS_ERASE_WIDTH,
                           PROGRESS_ERASE_HEIGHT, g_window.background, PROGRESS_TROUGH.left,
                           PROGRESS_TROUGH.top);
    const int filled = fillWidth();
    // A fill over a longer one shows nothing new: the longer one stays.
    drawnFill_ = erase ? filled : std::max(filled, drawnFill_);
    if (filled == 0) return;
    surface.fillRect({rect_.left, rect_.top, rect_.left + filled, rect_.bottom}, PROGRESS_FILL);
}

void ProgressBar::destroy() {
    owner_ = nullptr;
}
