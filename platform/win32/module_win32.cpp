// module_win32.cpp — the module's string resources through LoadStringA and
// its bitmap resources as the packed DIBs the resource section holds.
#include "platform/module.h"

#include <windows.h>

namespace plat {

int loadString(void* moduleInstance, unsigned id, char* out, int size) {
    if (!out || size <= 0) return 0;
    return LoadStringA(static_cast<HINSTANCE>(moduleInstance), id, out, size);
}

bool bitmapResource(void* moduleInstance, int id, const void** dib, std::size_t* size) {
    const HMODULE module = static_cast<HMODULE>(moduleInstance);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    const DWORD length = SizeofResource(module, found);
    if (!bytes || length == 0) return false;
    if (dib) *dib = bytes;
    if (size) *size = length;
    return true;
}

}  // namespace plat
