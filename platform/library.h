// library.h — loading a shared library and finding a symbol in it (the
// application side loads a .ds this way), and tables of functions bound by
// name from the system's libraries that are opened only when first needed.
#pragma once

#include <string>
#include <utility>
#include <vector>

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
    // A library of the system by its file name ("libpng16.so.16"), found as
    // the system's loader finds it; `keep` leaves it loaded for the process's
    // life whatever happens to this object.
    static Library system(const std::string& file, bool keep = false);
    bool loaded() const { return h_ != nullptr; }
    void* symbol(const char* name) const;
    // Why the last load failed, for messages.
    static std::string lastError();

private:
    void* h_ = nullptr;
};

// Fills a table of function pointers by name, each looked up in the
// libraries in turn; the table is complete when every name was found.
//
//   SymbolBinder bind({&png});
//   bind(api.png_write_info, "png_write_info");
//   if (!bind.complete()) ... bind.missing() ...
class SymbolBinder {
public:
    explicit SymbolBinder(std::vector<const Library*> libraries)
        : libraries_(std::move(libraries)) {}
    template <typename F>
    void operator()(F& slot, const char* name) {
        void* found = nullptr;
        for (auto it = libraries_.begin(); !found && it != libraries_.end(); ++it)
            found = (*it)->symbol(name);
        slot = reinterpret_cast<F>(found);
        if (!found && missing_.empty()) missing_ = name;
    }
    bool complete() const { return missing_.empty(); }
    // The first name found nowhere ("" when complete).
    const std::string& missing() const { return missing_; }

private:
    std::vector<const Library*> libraries_;
    std::string missing_;
};

}  // namespace plat
