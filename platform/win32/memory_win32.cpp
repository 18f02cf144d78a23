// memory_win32.cpp — TWAIN handles on Windows: movable global memory, which
// applications release with GlobalFree.
#include "platform/memory.h"

#include <windows.h>

namespace plat {

MemHandle memAlloc(std::size_t size, bool zeroFill) {
    return GlobalAlloc(GMEM_MOVEABLE | (zeroFill ? GMEM_ZEROINIT : 0), size);
}

void* memLock(MemHandle h) {
    return h ? GlobalLock(static_cast<HGLOBAL>(h)) : nullptr;
}

void memUnlock(MemHandle h) {
    if (h) GlobalUnlock(static_cast<HGLOBAL>(h));
}

void memFree(MemHandle h) {
    if (h) GlobalFree(static_cast<HGLOBAL>(h));
}

std::size_t memSize(MemHandle h) {
    return h ? GlobalSize(static_cast<HGLOBAL>(h)) : 0;
}

}  // namespace plat
