// skin_controls.h — the camera window's painted controls: two-face skin
// buttons and the progress bar.
#pragma once

#include "camera/progress_sink.h"
#include "platform/os_types.h"
#include "platform/surface.h"

class SkinButton {
public:
    // 0 on success, 1 when the up face cannot be loaded, 2 for the down face;
    // on success the up face shows.
    int initialise(HWND owner, HINSTANCE module, int upFaceId, int downFaceId,
                   const plat::Rect& rect);
    // Copies the current face onto the owner's client area at (left, top).
    void draw() const;
    void draw(plat::Surface& surface) const;
    // 1 when the point is inside (right and bottom edges excluded).
    int contains(int x, int y) const;
    void showUp() { faceUp_ = 1; }
    void showDown() { faceUp_ = 0; }
    int isUp() const { return faceUp_; }
    const plat::Rect& rect() const { return rect_; }
    // Deletes both faces.
    void destroy();

private:
    HWND owner_ = nullptr;
    plat::Bitmap up_;
    plat::Bitmap down_;
    plat::Rect rect_{};
    int faceUp_ = 1;
};

class ProgressBar : public ProgressSink {
public:
    // Draws itself with erase, so that the trough is clean.
    void create(HWND owner, const plat::Rect& rect);
    void setMaximum(int maximum) override;
    // 1 when position > maximum (nothing changes); else 0 and the bar is
    // drawn, with erase when the position is 0. A position that fills no
    // other pixel than the bar shows already draws nothing: a download sets
    // one per block, far more often than the bar can change.
    int setPositionChecked(int position);
    void setPosition(int position) override { (void)setPositionChecked(position); }
    void draw(bool erase) const;
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    void destroy();

private:
    HWND owner_ = nullptr;
    plat::Rect rect_{};
    int maximum_ = 100;
    int position_ = 0;
    int width_ = 0;
    // Pixels of fill the bar last drew (-1: none since it was made).
    mutable int drawnFill_ = -1;
    int fillWidth() const;
};
