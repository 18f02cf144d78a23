// skin_bitmap.h — a skin bitmap resource of the module as a 24-bit picture.
#pragma once

#include <cstddef>

#include "platform/os_types.h"
#include "platform/surface.h"

// Bitmap resource `id` of `module` (a packed DIB of 1, 4, 8 or 24 bits per
// pixel, BI_RGB, bottom-up or top-down) as a 24-bit picture; an empty
// bitmap (width 0) when the resource is missing or malformed.
plat::Bitmap loadSkinBitmap(HINSTANCE module, int id);

// The same conversion of a packed DIB of `size` bytes; nothing past `size`
// is read.
plat::Bitmap skinBitmapFromDib(const void* dib, std::size_t size);
