// cap_names.cpp — the names of capabilities and item types, for output and
// for the NAME argument of `pxcm cap`.
#include "tools/pxcm/cap_names.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/twain.h"

namespace pxcm {
namespace {

struct Named {
    unsigned number;
    const char* name;
};

#define PXCM_NAME(x) \
    { x, #x }

constexpr Named CAPABILITIES[] = {
    PXCM_NAME(CAP_XFERCOUNT),
    PXCM_NAME(ICAP_COMPRESSION),
    PXCM_NAME(ICAP_PIXELTYPE),
    PXCM_NAME(ICAP_UNITS),
    PXCM_NAME(ICAP_XFERMECH),
    PXCM_NAME(CAP_AUTHOR),
    PXCM_NAME(CAP_CAPTION),
    PXCM_NAME(CAP_FEEDERENABLED),
    PXCM_NAME(CAP_FEEDERLOADED),
    PXCM_NAME(CAP_TIMEDATE),
    PXCM_NAME(CAP_SUPPORTEDCAPS),
    PXCM_NAME(CAP_EXTENDEDCAPS),
    PXCM_NAME(CAP_AUTOFEED),
    PXCM_NAME(CAP_CLEARPAGE),
    PXCM_NAME(CAP_FEEDPAGE),
    PXCM_NAME(CAP_REWINDPAGE),
    PXCM_NAME(CAP_INDICATORS),
    PXCM_NAME(CAP_SUPPORTEDCAPSEXT),
    PXCM_NAME(CAP_PAPERDETECTABLE),
    PXCM_NAME(CAP_UICONTROLLABLE),
    PXCM_NAME(CAP_DEVICEONLINE),
    PXCM_NAME(CAP_AUTOSCAN),
    PXCM_NAME(ICAP_AUTOBRIGHT),
    PXCM_NAME(ICAP_BRIGHTNESS),
    PXCM_NAME(ICAP_CONTRAST),
    PXCM_NAME(ICAP_CUSTHALFTONE),
    PXCM_NAME(ICAP_EXPOSURETIME),
    PXCM_NAME(ICAP_FILTER),
    PXCM_NAME(ICAP_FLASHUSED),
    PXCM_NAME(ICAP_GAMMA),
    PXCM_NAME(ICAP_HALFTONES),
    PXCM_NAME(ICAP_HIGHLIGHT),
    PXCM_NAME(ICAP_IMAGEFILEFORMAT),
    PXCM_NAME(ICAP_LAMPSTATE),
    PXCM_NAME(ICAP_LIGHTSOURCE),
    PXCM_NAME(ICAP_ORIENTATION),
    PXCM_NAME(ICAP_PHYSICALWIDTH),
    PXCM_NAME(ICAP_PHYSICALHEIGHT),
    PXCM_NAME(ICAP_SHADOW),
    PXCM_NAME(ICAP_FRAMES),
    PXCM_NAME(ICAP_XNATIVERESOLUTION),
    PXCM_NAME(ICAP_YNATIVERESOLUTION),
    PXCM_NAME(ICAP_XRESOLUTION),
    PXCM_NAME(ICAP_YRESOLUTION),
    PXCM_NAME(ICAP_MAXFRAMES),
    PXCM_NAME(ICAP_TILES),
    PXCM_NAME(ICAP_BITORDER),
    PXCM_NAME(ICAP_CCITTKFACTOR),
    PXCM_NAME(ICAP_LIGHTPATH),
    PXCM_NAME(ICAP_PIXELFLAVOR),
    PXCM_NAME(ICAP_PLANARCHUNKY),
    PXCM_NAME(ICAP_ROTATION),
    PXCM_NAME(ICAP_SUPPORTEDSIZES),
    PXCM_NAME(ICAP_THRESHOLD),
    PXCM_NAME(ICAP_XSCALING),
    PXCM_NAME(ICAP_YSCALING),
    PXCM_NAME(ICAP_BITORDERCODES),
    PXCM_NAME(ICAP_PIXELFLAVORCODES),
    PXCM_NAME(ICAP_JPEGPIXELTYPE),
    PXCM_NAME(ICAP_TIMEFILL),
    PXCM_NAME(ICAP_BITDEPTH),
    PXCM_NAME(ICAP_BITDEPTHREDUCTION),
    PXCM_NAME(ICAP_UNDEFINEDIMAGESIZE),
};

constexpr Named ITEM_TYPES[] = {
    PXCM_NAME(TWTY_INT8),   PXCM_NAME(TWTY_INT16),  PXCM_NAME(TWTY_INT32), PXCM_NAME(TWTY_UINT8),
    PXCM_NAME(TWTY_UINT16), PXCM_NAME(TWTY_UINT32), PXCM_NAME(TWTY_BOOL),  PXCM_NAME(TWTY_FIX32),
    PXCM_NAME(TWTY_FRAME),  PXCM_NAME(TWTY_STR32),  PXCM_NAME(TWTY_STR64), PXCM_NAME(TWTY_STR128),
    PXCM_NAME(TWTY_STR255),
};

constexpr Named CONTAINERS[] = {
    PXCM_NAME(TWON_ARRAY),
    PXCM_NAME(TWON_ENUMERATION),
    PXCM_NAME(TWON_ONEVALUE),
    PXCM_NAME(TWON_RANGE),
};

// The MSG_QUERYSUPPORT flags, in the order in which they are listed.
constexpr Named SUPPORT_FLAGS[] = {
    PXCM_NAME(TWQC_GET), PXCM_NAME(TWQC_GETCURRENT), PXCM_NAME(TWQC_GETDEFAULT),
    PXCM_NAME(TWQC_SET), PXCM_NAME(TWQC_RESET),
};

#undef PXCM_NAME

template <std::size_t N>
std::string nameIn(const Named (&table)[N], unsigned number) {
    for (const Named& n : table)
        if (n.number == number) return n.name;
    return std::to_string(number);
}

bool sameIgnoringCase(const char* a, const std::string& b) {
    if (std::strlen(a) != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        char x = a[i], y = b[i];
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string capabilityName(unsigned number) {
    return nameIn(CAPABILITIES, number);
}
std::string itemTypeName(unsigned number) {
    return nameIn(ITEM_TYPES, number);
}
std::string containerName(unsigned number) {
    return nameIn(CONTAINERS, number);
}

std::string supportFlagsText(unsigned flags) {
    std::string text;
    unsigned rest = flags;
    for (const Named& f : SUPPORT_FLAGS) {
        if (!(flags & f.number)) continue;
        if (!text.empty()) text += ' ';
        text += f.name;
        rest &= ~f.number;
    }
    if (rest) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", rest);
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text.empty() ? "none" : text;
}

bool capabilityNumber(const std::string& text, unsigned* number) {
    for (const Named& n : CAPABILITIES) {
        if (sameIgnoringCase(n.name, text)) {
            *number = n.number;
            return true;
        }
    }
    if (text.empty()) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || v > 0xFFFF) return false;
    *number = static_cast<unsigned>(v);
    return true;
}

}  // namespace pxcm
