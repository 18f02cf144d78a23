// font_library.cpp — FreeType and fontconfig opened on first use and their
// functions looked up by name into one table.
#include "wsys/font_library.h"

#include "platform/library.h"

namespace plat {
namespace {

struct LoadedFonts {
    // Kept for the process's life once loaded, as a linked library would
    // be: fontconfig holds its configuration and caches until the process
    // ends, and unloading it earlier would lose that memory.
    Library freetype = Library::system("libfreetype.so.6", true);
    Library fontconfig = Library::system("libfontconfig.so.1", true);
    FontApi api;
    bool complete = false;

    LoadedFonts() {
        if (!freetype.loaded() || !fontconfig.loaded()) return;
        // Each name is looked up in both: the table does not say which
        // library holds it.
        SymbolBinder bind({&freetype, &fontconfig});
#define PXCM_FONT_LOOKUP(name) bind(api.name, #name);
        PXCM_FONT_FUNCTIONS(PXCM_FONT_LOOKUP)
#undef PXCM_FONT_LOOKUP
        complete = bind.complete();
    }
};

}  // namespace

const FontApi* fontLibrary() {
    static LoadedFonts fonts;
    return fonts.complete ? &fonts.api : nullptr;
}

}  // namespace plat
