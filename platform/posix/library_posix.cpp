// library_posix.cpp — shared libraries through dlopen; a bare file name means
// the file in the current folder, not a search of the library path.
#include "platform/library.h"

#include <dlfcn.h>

namespace plat {
namespace {

thread_local std::string lastLoadError;

}  // namespace

Library::Library(const std::string& path) {
    if (path.empty()) {
        lastLoadError = "no library named";
        return;
    }
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    h_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h_) {
        const char* e = ::dlerror();
        lastLoadError = e ? e : "cannot load " + path;
    }
}

Library Library::system(const std::string& file, bool keep) {
    Library library;
    library.h_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | (keep ? RTLD_NODELETE : 0));
    if (!library.h_) {
        const char* e = ::dlerror();
        lastLoadError = e ? e : "cannot load " + file;
    }
    return library;
}

Library::~Library() {
    if (h_) ::dlclose(h_);
}

void* Library::symbol(const char* name) const {
    return h_ ? ::dlsym(h_, name) : nullptr;
}

std::string Library::lastError() {
    return lastLoadError;
}

}  // namespace plat
