// module.h — the module's own resources: the identity strings and the skin
// bitmaps.
#pragma once

namespace plat {

// Like LoadStringA: copies string resource `id` into `out` (at most size - 1
// characters and a NUL); returns the characters copied, 0 when it is absent.
int loadString(void* moduleInstance, unsigned id, char* out, int size);

}  // namespace plat

#include <cstddef>

namespace plat {

// The packed DIB (BITMAPINFOHEADER, colour table, bits; no file header) of
// bitmap resource `id`; false when the module has none. The bytes stay valid
// while the module is loaded.
bool bitmapResource(void* moduleInstance, int id, const void** dib, std::size_t* size);

}  // namespace plat
