// memory_posix.cpp — TWAIN handles on POSIX: plain C allocator blocks, which
// applications release with free().
#include "platform/memory.h"

#include <malloc.h>

#include <cstdlib>

namespace plat {

MemHandle memAlloc(std::size_t size, bool zeroFill) {
    // A zero-byte request still gets a distinct, freeable block.
    if (size == 0) size = 1;
    return zeroFill ? std::calloc(1, size) : std::malloc(size);
}

void* memLock(MemHandle h) {
    return h;
}

void memUnlock(MemHandle) {}

void memFree(MemHandle h) {
    std::free(h);
}

std::size_t memSize(MemHandle h) {
    return h ? malloc_usable_size(h) : 0;
}

}  // namespace plat
