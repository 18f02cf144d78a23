// sample_pictures.cpp — drawing of the generated pictures with a tiny bitmap
// font for the numbers, and the built-in sample set.
#include "tools/pxcm-camera/sample_pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pxcmcam {

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// 5x7 digits, one row per byte, bit 4 the leftmost column.
constexpr std::uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

Rgb hsv(double hue, double saturation, double value) {
    hue = std::fmod(hue, 360.0);
    if (hue < 0) hue += 360.0;
    double c = value * saturation;
    double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
    double m = value - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue / 60.0)) {
        case 0:
            r = c, g = x;
            break;
        case 1:
            r = x, g = c;
            break;
        case 2:
            g = c, b = x;
            break;
        case 3:
            g = x, b = c;
            break;
        case 4:
            r = x, b = c;
            break;
        default:
            r = c, b = x;
            break;
    }
    auto byte = [m](double v) { return static_cast<std::uint8_t>(std::lround((v + m) * 255.0)); };
    return {byte(r), byte(g), byte(b)};
}

class Canvas {
public:
    explicit Canvas(RgbImage& image) : image_(image) {}

    void put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
        std::uint8_t* p = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

    void fill(int x0, int y0, int x1, int y1, Rgb c) {
        for (int y = std::max(y0, 0); y < std::min(y1, image_.height); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, image_.width); ++x) put(x, y, c);
    }

    // The number centred, as large as the picture allows, over a shadow.
    void number(int value, Rgb ink, Rgb shadow) {
        std::string text = std::to_string(value);
        int columns = static_cast<int>(text.size()) * 6 - 1;
        int scale =
            std::max(1, std::min(image_.height * 45 / 100 / 7, image_.width * 80 / 100 / columns));
        int x0 = (image_.width - columns * scale) / 2;
        int y0 = (image_.height - 7 * scale) / 2;
        int offset = std::max(1, scale / 4);
        glyphs(text, x0 + offset, y0 + offset, scale, shadow);
        glyphs(text, x0, y0, scale, ink);
    }

private:
    void glyphs(const std::string& text, int x0, int y0, int scale, Rgb c) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint8_t* rows = kDigits[text[i] - '0'];
            int left = x0 + static_cast<int>(i) * 6 * scale;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (rows[row] & (0x10 >> col))
                        fill(left + col * scale, y0 + row * scale, left + (col + 1) * scale,
                             y0 + (row + 1) * scale, c);
        }
    }

    RgbImage& image_;
};

}  // namespace

RgbImage drawPicture(int width, int height, int number, int variant) {
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 3, 0);
    Canvas canvas(image);
    const double hue = (variant * 67) % 360;

    // Background: a diagonal gradient in the picture's own hue.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double t = (static_cast<double>(y) / height + static_cast<double>(x) / width) / 2;
            canvas.put(x, y, hsv(hue + 40 * t, 0.55 + 0.35 * t, 0.95 - 0.55 * t));
        }
    }

    // A shape in the opposite hue: disc, diamond or stripes.
    const Rgb accent = hsv(hue + 180, 0.8, 0.9);
    const double cx = width * 0.72, cy = height * 0.32, r = height * 0.22;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double dx = x - cx, dy = y - cy;
            bool inside = false;
            switch (variant % 3) {
                case 0:
                    inside = dx * dx + dy * dy <= r * r;
                    break;
                case 1:
                    inside = std::fabs(dx) + std::fabs(dy) <= r;
                    break;
                default:
                    inside = ((x + y) * 8 / std::max(width, 1)) % 2 == 0 && y > height * 0.75;
                    break;
            }
            if (inside) canvas.put(x, y, accent);
        }
    }

    // A white frame, so that cropping or shifting shows.
    int border = std::max(1, width / 80);
    const Rgb white{255, 255, 255};
    canvas.fill(0, 0, width, border, white);
    canvas.fill(0, height - border, width, height, white);
    canvas.fill(0, 0, border, height, white);
    canvas.fill(width - border, 0, width, height, white);

    canvas.number(number, white, Rgb{20, 20, 20});
    return image;
}

std::optional<GeneratedPicture> makePicture(int width, int height, int number, int variant) {
    auto picture = encodeJpeg(drawPicture(width, height, number, variant), 85);
    auto thumbnail =
        encodeJpeg(drawPicture(kThumbnailWidth, kThumbnailHeight, number, variant), 75);
    if (!picture || !thumbnail) return std::nullopt;
    return GeneratedPicture{std::move(*picture), std::move(*thumbnail)};
}

bool writeSampleSet(const PictureStore& store, const CameraTime& clock, std::string& error) {
    const std::time_t now = fileTimeOf(clock);
    for (int i = 0; i < kSampleCount; ++i) {
        bool large = i % 2 == 0;
        auto made = makePicture(large ? 640 : 320, large ? 480 : 240, i + 1, i);
        std::time_t date = now - (kSampleCount - i) * 86400 + i * 3600;
        if (!made || !store.add(made->picture, made->thumbnail, date)) {
            error = "cannot write the sample pictures into " + store.dir();
            return false;
        }
    }
    return true;
}

}  // namespace pxcmcam
