// library.h — loading a shared library and finding a symbol in it (the
// application side loads a .ds this way).
#pragma once

#include <string>
#include <utility>

namespace plat {

class Library {
public:
    Library() = default;
    explicit Library(const std::string& path);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    Library(Library&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    // The library held before goes with the moved-from object.
    Library& operator=(Library&& o) noexcept {
        std::swap(h_, o.h_);
        return *this;
    }
    ~Library();
    bool loaded() const { return h_ != nullptr; }
    void* symbol(const char* name) const;
    // Why the last load failed, for messages.
    static std::string lastError();

private:
    void* h_ = nullptr;
};

}  // namespace plat
