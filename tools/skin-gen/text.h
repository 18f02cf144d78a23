// text.h — captions for the skin artwork: DejaVu faces found through
// fontconfig, rendered with FreeType, coverage cut to a few levels so that
// the pictures keep small palettes.
#pragma once

#include <memory>
#include <string>

#include "tools/skin-gen/canvas.h"

namespace skin {

enum class Face { Sans, SansBold, Serif, SerifBold };

class Fonts {
public:
    // Throws std::runtime_error when FreeType fails or a face is not a
    // DejaVu face (another face would change the pictures).
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // Advance width of `text` (UTF-8) at `pixels` em size.
    int width(Face face, int pixels, const std::string& text);
    // Draws `text` with its baseline at y, starting at x.
    void draw(Canvas& canvas, Face face, int pixels, int x, int baseline, const std::string& text,
              Rgb color);
    // Draws `text` centred in the box (vertically on the digits' height).
    void drawCentred(Canvas& canvas, Face face, int pixels, const Box& box, const std::string& text,
                     Rgb color);
    // Height above the baseline of a capital letter at `pixels`.
    int capHeight(Face face, int pixels);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace skin
