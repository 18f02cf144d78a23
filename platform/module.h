// module.h — the module's own resources: the identity strings.
#pragma once

namespace plat {

// Like LoadStringA: copies string resource `id` into `out` (at most size - 1
// characters and a NUL); returns the characters copied, 0 when it is absent.
int loadString(void* moduleInstance, unsigned id, char* out, int size);

}  // namespace plat
