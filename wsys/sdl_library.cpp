// sdl_library.cpp — the SDL2 library opened on first use and its functions
// looked up by name into one table.
#include "wsys/sdl_library.h"

#include <cstdlib>

#include "platform/library.h"

namespace plat {
namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

struct LoadedSdl {
    Library library;
    SdlApi api;
    bool complete = false;
    std::string error;

    LoadedSdl() {
        const char* named = std::getenv("PXCM_SDL_LIBRARY");
        const char* file = named && *named ? named : kSdlLibrary;
        library = Library::system(file);
        if (!library.loaded()) {
            error = "the SDL2 library is missing (" + Library::lastError() + ")";
            return;
        }
        SymbolBinder bind({&library});
#define PXCM_SDL_LOOKUP(name) bind(api.name, "SDL_" #name);
        PXCM_SDL_FUNCTIONS(PXCM_SDL_LOOKUP)
#undef PXCM_SDL_LOOKUP
        complete = bind.complete();
        if (!complete) error = std::string("the SDL2 library ") + file + " lacks " + bind.missing();
    }
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
