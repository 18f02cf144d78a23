// draw_picture.h — drawing a picture block, or a part of it, onto a surface.
#pragma once

#include "platform/memory.h"
#include "platform/surface.h"

// Draws the part `source` of the packed DIB `picture` (in picture pixels,
// counted from the picture's top) into `dest`: unscaled when both have the
// same size, else scaled in COLORONCOLOR mode. A palette, when given, is
// selected as a background palette for the drawing and then put back.
// A 24-bit block holds rows of exactly width x 3 bytes (the decoder's
// layout); they are handed to the device padded to 4 bytes. Returns the
// result of the device's drawing call; 0 for no picture, and 0 without a
// draw for a block shorter than its header makes it.
int drawPicture(plat::Surface& surface, const plat::Rect& dest, plat::MemHandle picture,
                const plat::Rect& source, plat::Palette palette);
