// font_library.cpp — FreeType and fontconfig opened with dlopen on first use
// and their functions looked up by name into one table.
#include "platform/posix/font_library.h"

#include <dlfcn.h>

namespace plat {
namespace {

struct LoadedFonts {
    void* freetype = nullptr;
    void* fontconfig = nullptr;
    FontApi api;
    bool complete = false;

    LoadedFonts() {
        // Kept for the process's life once loaded, as a linked library
        // would be: fontconfig holds its configuration and caches until the
        // process ends, and unloading it earlier would lose that memory.
        freetype = ::dlopen("libfreetype.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        fontconfig = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!freetype || !fontconfig) return;
        complete = true;
        // Each name is looked up in both: the table does not say which
        // library holds it.
#define PXCM_FONT_LOOKUP(name)                              \
    {                                                       \
        void* f = ::dlsym(freetype, #name);                 \
        if (!f) f = ::dlsym(fontconfig, #name);             \
        api.name = reinterpret_cast<decltype(api.name)>(f); \
        complete = complete && f != nullptr;                \
    }
        PXCM_FONT_FUNCTIONS(PXCM_FONT_LOOKUP)
#undef PXCM_FONT_LOOKUP
    }
    ~LoadedFonts() {
        if (fontconfig) ::dlclose(fontconfig);
        if (freetype) ::dlclose(freetype);
    }
    LoadedFonts(const LoadedFonts&) = delete;
    LoadedFonts& operator=(const LoadedFonts&) = delete;
};

}  // namespace

const FontApi* fontLibrary() {
    static LoadedFonts fonts;
    return fonts.complete ? &fonts.api : nullptr;
}

}  // namespace plat
