// canvas.cpp — the skin artwork's drawing primitives.
#include "tools/skin-gen/canvas.h"

#include <algorithm>
#include <cmath>

namespace skin {

Rgb mix(Rgb a, Rgb b, int weight, int steps) {
    if (steps <= 0) return a;
    auto one = [&](int x, int y) {
        return x + ((y - x) * weight + (y > x ? steps / 2 : -(steps / 2))) / steps;
    };
    return rgb(one(red(a), red(b)), one(green(a), green(b)), one(blue(a), blue(b)));
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void Canvas::blend(int x, int y, Rgb c, int level, int levels) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || level <= 0) return;
    set(x, y, level >= levels ? c : mix(at(x, y), c, level, levels));
}

void Canvas::fill(const Box& b, Rgb c) {
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) set(x, y, c);
}

void Canvas::bevel(const Box& b, Rgb topLeft, Rgb bottomRight) {
    fill({b.left, b.top, b.right, b.top + 1}, topLeft);
    fill({b.left, b.top, b.left + 1, b.bottom}, topLeft);
    fill({b.left, b.bottom - 1, b.right, b.bottom}, bottomRight);
    fill({b.right - 1, b.top + 1, b.right, b.bottom}, bottomRight);
}

void Canvas::gradient(const Box& b, Rgb top, Rgb bottom, int steps) {
    const int h = b.height();
    if (h <= 0) return;
    const int bands = std::max(1, std::min(steps, h));
    for (int y = b.top; y < b.bottom; ++y) {
        const int band = (y - b.top) * bands / h;
        fill({b.left, y, b.right, y + 1}, mix(top, bottom, band, std::max(1, bands - 1)));
    }
}

bool Canvas::inRound(const Box& b, int radius, int x, int y) const {
    if (x < b.left || y < b.top || x >= b.right || y >= b.bottom) return false;
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    const double l = b.left + radius, r = b.right - radius;
    const double t = b.top + radius, bt = b.bottom - radius;
    const double dx = cx < l ? l - cx : (cx > r ? cx - r : 0);
    const double dy = cy < t ? t - cy : (cy > bt ? cy - bt : 0);
    return dx * dx + dy * dy <= radius * radius + 0.25;
}

void Canvas::roundFill(const Box& b, int radius, Rgb c) {
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (inRound(b, radius, x, y)) set(x, y, c);
}

void Canvas::roundGradient(const Box& b, int radius, Rgb top, Rgb bottom, int steps) {
    const int h = b.height();
    if (h <= 0) return;
    const int bands = std::max(1, std::min(steps, h));
    for (int y = b.top; y < b.bottom; ++y) {
        const Rgb c = mix(top, bottom, (y - b.top) * bands / h, std::max(1, bands - 1));
        for (int x = b.left; x < b.right; ++x)
            if (inRound(b, radius, x, y)) set(x, y, c);
    }
}

void Canvas::disc(double cx, double cy, double r, Rgb c) {
    for (int y = static_cast<int>(std::floor(cy - r)); y <= static_cast<int>(std::ceil(cy + r));
         ++y)
        for (int x = static_cast<int>(std::floor(cx - r)); x <= static_cast<int>(std::ceil(cx + r));
             ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r) set(x, y, c);
        }
}

void Canvas::line(double x0, double y0, double x1, double y1, double thickness, Rgb c) {
    const double half = thickness / 2;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - half));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + half));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - half));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + half));
    const double vx = x1 - x0, vy = y1 - y0;
    const double len2 = vx * vx + vy * vy;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = len2 > 0 ? (px * vx + py * vy) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double dx = px - t * vx, dy = py - t * vy;
            if (dx * dx + dy * dy <= half * half) set(x, y, c);
        }
}

void Canvas::triangle(double x0, double y0, double x1, double y1, double x2, double y2, Rgb c) {
    const int left = static_cast<int>(std::floor(std::min({x0, x1, x2})));
    const int right = static_cast<int>(std::ceil(std::max({x0, x1, x2})));
    const int top = static_cast<int>(std::floor(std::min({y0, y1, y2})));
    const int bottom = static_cast<int>(std::ceil(std::max({y0, y1, y2})));
    auto side = [](double ax, double ay, double bx, double by, double px, double py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double a = side(x0, y0, x1, y1, px, py);
            const double b = side(x1, y1, x2, y2, px, py);
            const double d = side(x2, y2, x0, y0, px, py);
            if ((a >= 0 && b >= 0 && d >= 0) || (a <= 0 && b <= 0 && d <= 0)) set(x, y, c);
        }
}

void Canvas::paste(const Canvas& from, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int fx = sx + x, fy = sy + y;
            if (fx < 0 || fy < 0 || fx >= from.width() || fy >= from.height()) continue;
            set(dx + x, dy + y, from.at(fx, fy));
        }
}

}  // namespace skin
