// module_posix.cpp — the module's string and bitmap resources, compiled in on
// POSIX.
#include "platform/module.h"

#include <cstring>

#include "resources/identity.h"
#include "skin_bitmaps.h"

namespace plat {

int loadString(void* moduleInstance, unsigned id, char* out, int size) {
    const char* text = nullptr;
    switch (id) {
        case IDS_MANUFACTURER:
            text = IDENTITY_MANUFACTURER;
            break;
        case IDS_PRODUCT_FAMILY:
            text = IDENTITY_PRODUCT_FAMILY;
            break;
        case IDS_PRODUCT_NAME:
            text = IDENTITY_PRODUCT_NAME;
            break;
        case IDS_VERSION_INFO:
            text = IDENTITY_VERSION_INFO;
            break;
        default:
            break;
    }
    if (!out || size <= 0) return 0;
    if (!text) {
        out[0] = '\0';
        return 0;
    }
    int n = static_cast<int>(std::strlen(text));
    if (n > size - 1) n = size - 1;
    std::memcpy(out, text, static_cast<std::size_t>(n));
    out[n] = '\0';
    return n;
}

bool bitmapResource(void* moduleInstance, int id, const void** dib, std::size_t* size) {
    for (const SkinBitmapResource& r : SKIN_BITMAPS) {
        if (r.id != id) continue;
        if (dib) *dib = r.dib;
        if (size) *size = r.size;
        return true;
    }
    return false;
}

}  // namespace plat
