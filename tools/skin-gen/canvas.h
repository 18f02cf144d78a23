// canvas.h — an RGB drawing canvas for the skin artwork: flat fills, bevels,
// gradients in few steps, and hard-edged shapes, so that each picture keeps
// a small exact palette.
#pragma once

#include <cstdint>
#include <vector>

namespace skin {

// 0xRRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
    return static_cast<Rgb>((r & 255) << 16 | (g & 255) << 8 | (b & 255));
}
constexpr int red(Rgb c) {
    return static_cast<int>(c >> 16 & 255);
}
constexpr int green(Rgb c) {
    return static_cast<int>(c >> 8 & 255);
}
constexpr int blue(Rgb c) {
    return static_cast<int>(c & 255);
}

// `a` moved towards `b` by weight / steps.
Rgb mix(Rgb a, Rgb b, int weight, int steps);

// Left, top, right, bottom; right and bottom excluded.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    Box inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    Box moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

class Canvas {
public:
    Canvas(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // Writes outside the canvas are dropped.
    void set(int x, int y, Rgb c);
    // Mixes `c` in with coverage level / levels.
    void blend(int x, int y, Rgb c, int level, int levels);

    void fill(const Box& b, Rgb c);
    // One-pixel outline: top and left in `topLeft`, bottom and right in
    // `bottomRight`.
    void bevel(const Box& b, Rgb topLeft, Rgb bottomRight);
    void outline(const Box& b, Rgb c) { bevel(b, c, c); }
    // Top-to-bottom gradient in `steps` flat bands.
    void gradient(const Box& b, Rgb top, Rgb bottom, int steps);
    // A box with its corners cut round by `radius` (hard edges).
    void roundFill(const Box& b, int radius, Rgb c);
    void roundGradient(const Box& b, int radius, Rgb top, Rgb bottom, int steps);
    // Pixels whose centre lies within `r` of (cx, cy).
    void disc(double cx, double cy, double r, Rgb c);
    // Pixels whose centre lies within half of `thickness` of the segment.
    void line(double x0, double y0, double x1, double y1, double thickness, Rgb c);
    // Pixels whose centre lies inside the triangle.
    void triangle(double x0, double y0, double x1, double y1, double x2, double y2, Rgb c);
    // Copies `from`'s part at (sx, sy) to (dx, dy).
    void paste(const Canvas& from, int sx, int sy, int w, int h, int dx, int dy);

private:
    bool inRound(const Box& b, int radius, int x, int y) const;

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

}  // namespace skin
