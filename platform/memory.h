// memory.h — movable global memory blocks: the TWAIN handle convention.
// Windows: GlobalAlloc(GMEM_MOVEABLE) handles, which applications free with
// GlobalFree. POSIX: pointers from the C allocator; lock returns the pointer
// and the application frees it with free().
#pragma once

#include <cstddef>

namespace plat {

using MemHandle = void*;

MemHandle memAlloc(std::size_t size, bool zeroFill);
void* memLock(MemHandle h);
void memUnlock(MemHandle h);
void memFree(MemHandle h);
// Usable size of the block (at least what was allocated); 0 for no handle.
std::size_t memSize(MemHandle h);

// Owns a handle until release(); frees it otherwise.
class MemBlock {
public:
    MemBlock() = default;
    explicit MemBlock(MemHandle h) : h_(h) {}
    MemBlock(const MemBlock&) = delete;
    MemBlock& operator=(const MemBlock&) = delete;
    MemBlock(MemBlock&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    MemBlock& operator=(MemBlock&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = o.h_;
            o.h_ = nullptr;
        }
        return *this;
    }
    ~MemBlock() { reset(); }
    MemHandle get() const { return h_; }
    MemHandle release() {
        MemHandle h = h_;
        h_ = nullptr;
        return h;
    }
    void reset(MemHandle h = nullptr) {
        if (h_) memFree(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != nullptr; }

private:
    MemHandle h_ = nullptr;
};

// Locks a handle for the lifetime of the object.
class MemLock {
public:
    explicit MemLock(MemHandle h) : h_(h), p_(h ? memLock(h) : nullptr) {}
    MemLock(const MemLock&) = delete;
    MemLock& operator=(const MemLock&) = delete;
    ~MemLock() {
        if (p_) memUnlock(h_);
    }
    void* get() const { return p_; }
    template <typename T>
    T* as() const {
        return static_cast<T*>(p_);
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    MemHandle h_;
    void* p_;
};

}  // namespace plat
