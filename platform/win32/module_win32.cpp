// module_win32.cpp — the module's string resources through LoadStringA.
#include "platform/module.h"

#include <windows.h>

namespace plat {

int loadString(void* moduleInstance, unsigned id, char* out, int size) {
    if (!out || size <= 0) return 0;
    return LoadStringA(static_cast<HINSTANCE>(moduleInstance), id, out, size);
}

}  // namespace plat
