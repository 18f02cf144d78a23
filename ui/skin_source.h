// skin_source.h — where the window's skin pictures come from: the module's
// bitmap resources, or a stand-in (tests of a window whose pictures cannot
// all be had).
#pragma once

#include "platform/os_types.h"
#include "platform/surface.h"

using SkinSource = plat::Bitmap (*)(HINSTANCE module, int id);

// Bitmap `id`; an empty bitmap (width 0) when it cannot be had.
plat::Bitmap skinPicture(HINSTANCE module, int id);
// Null puts the module's resources back.
void setSkinSource(SkinSource source);
