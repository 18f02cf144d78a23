// sdl_library.cpp — the SDL2 library opened with dlopen on first use and its
// functions looked up by name into one table.
#include "platform/posix/sdl_library.h"

#include <dlfcn.h>

#include <cstdlib>

namespace plat {
namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

struct LoadedSdl {
    void* handle = nullptr;
    SdlApi api;
    bool complete = false;
    std::string error;

    LoadedSdl() {
        const char* named = std::getenv("PXCM_SDL_LIBRARY");
        const char* file = named && *named ? named : kSdlLibrary;
        handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            error = std::string("the SDL2 library is missing (") + (why ? why : file) + ")";
            return;
        }
        complete = true;
#define PXCM_SDL_LOOKUP(name)                                                       \
    api.name = reinterpret_cast<decltype(api.name)>(::dlsym(handle, "SDL_" #name)); \
    if (!api.name && complete) {                                                    \
        complete = false;                                                           \
        error = std::string("the SDL2 library ") + file + " lacks SDL_" #name;      \
    }
        PXCM_SDL_FUNCTIONS(PXCM_SDL_LOOKUP)
#undef PXCM_SDL_LOOKUP
    }
    ~LoadedSdl() {
        if (handle) ::dlclose(handle);
    }
    LoadedSdl(const LoadedSdl&) = delete;
    LoadedSdl& operator=(const LoadedSdl&) = delete;
};

LoadedSdl& loaded() {
    static LoadedSdl sdl;
    return sdl;
}

}  // namespace

const SdlApi* sdlLibrary() {
    LoadedSdl& l = loaded();
    return l.complete ? &l.api : nullptr;
}

const std::string& sdlLibraryError() {
    return loaded().error;
}

const SdlApi& sdl() {
    return loaded().api;
}

}  // namespace plat
