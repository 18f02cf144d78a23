// caps_fuzz.cpp — the value-text grammar, capability answers built from
// arbitrary settings values, and MSG_SET with arbitrary containers.
// The first byte chooses what the rest of the input is.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "caps/capability_ops.h"
#include "caps/caps_state.h"
#include "caps/value_text.h"
#include "platform/memory.h"
#include "platform/twain.h"
#include "source/entry.h"
#include "source/source_state.h"

namespace {

namespace fs = std::filesystem;

std::string g_root;
std::string g_windows;

void removeRoot() {
    std::error_code ec;
    fs::remove_all(g_root, ec);
}

constexpr char DICTIONARY[] =
    "[CAP NUMBERS]\r\n257=ICAP_PIXELTYPE\r\n"
    "[ItemType]\r\nTWTY_INT8=0\r\nTWTY_INT16=1\r\nTWTY_INT32=2\r\nTWTY_UINT8=3\r\n"
    "TWTY_UINT16=4\r\nTWTY_UINT32=5\r\nTWTY_BOOL=6\r\nTWTY_FIX32=7\r\nTWTY_FRAME=8\r\n"
    "TWTY_STR32=9\r\n"
    "[ConType]\r\nTWON_ARRAY=3\r\nTWON_ENUMERATION=4\r\nTWON_ONEVALUE=5\r\nTWON_RANGE=6\r\n"
    "TWON_ODD=9\r\n"
    "[ICAP_PIXELTYPE]\r\nTWPT_BW=0\r\nTWPT_GRAY=1\r\nTWPT_RGB=2\r\n";

void writeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// A value for an INI line: no line breaks, no NULs.
std::string lineValue(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n' && c != '\0') out += c;
    return out;
}

void grammar(const std::string& text) {
    (void)caps::parseInteger(text);
    (void)caps::parseReal(text);
    (void)caps::isSymbolicName(text);
    for (std::string_view item : caps::splitList(text)) (void)caps::cut(item, 29);
    caps::RangeParts r = caps::splitRange(text);
    (void)caps::parseInteger(r.minimum);
    (void)caps::parseReal(r.maximum);
    (void)caps::parseInteger(r.step);
    (void)caps::shapeOf(text);
    (void)caps::arrayBody(text);
    (void)caps::withoutBrackets(text);
    (void)caps::formatFrame(caps::parseFrame(text));
    for (TW_UINT16 type : {TWTY_UINT32, TWTY_FIX32})
        (void)(RangeMinimum(text.c_str(), type) + RangeMaximum(text.c_str(), type) +
               RangeStep(text.c_str(), type));
}

TW_UINT16 request(TW_UINT16 msg, TW_CAPABILITY& cap) {
    TW_IDENTITY app{};
    app.Id = 1;
    return DS_Entry(&app, DG_CONTROL, DAT_CAPABILITY, msg, &cap);
}

// Settings values from the input, then every request of the capability.
void settings(const std::string& text) {
    std::vector<std::string> fields(6);
    std::size_t f = 0;
    for (char c : text) {
        if (c == '\n' && f + 1 < fields.size())
            ++f;
        else
            fields[f] += c;
    }
    const char* keys[] = {"Allowed", "Current", "Default", "Get", "Type", "Set"};
    std::string src = "[ICAP_PIXELTYPE]\r\n";
    for (std::size_t i = 0; i < fields.size(); ++i)
        src += std::string(keys[i]) + "=" + lineValue(fields[i]) + "\r\n";
    src += "PowerON=" + lineValue(fields[0]) + "\r\nGetCurrent=" + lineValue(fields[3]) +
           "\r\nGetDefault=" + lineValue(fields[3]) + "\r\nReset=" + lineValue(fields[3]) + "\r\n";
    writeFile(g_windows + "/PXCM.src", src);

    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        request(msg, cap);
        if (cap.hContainer) plat::memFree(cap.hContainer);
    }
    // A one-value set of a value taken from the text.
    TW_CAPABILITY set{ICAP_PIXELTYPE, TWON_ONEVALUE, plat::memAlloc(sizeof(TW_ONEVALUE), true)};
    auto* one = static_cast<TW_ONEVALUE*>(set.hContainer);
    one->ItemType = TWTY_INT16;
    one->Item = caps::parseInteger(fields[1]);
    request(MSG_SET, set);
    plat::memFree(set.hContainer);
}

// An application's container, exactly as large as the input, set.
void container(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return;
    static const TW_UINT16 types[] = {TWON_ARRAY, TWON_ENUMERATION, TWON_ONEVALUE, TWON_RANGE, 9,
                                      0};
    const TW_UINT16 conType = types[data[0] % 6];
    const std::uint8_t typeOfCap = data[0] / 6 % 3;
    const char* capType = typeOfCap == 0   ? "TWTY_UINT16"
                          : typeOfCap == 1 ? "TWTY_FIX32"
                                           : "TWTY_UINT32";
    writeFile(g_windows + "/PXCM.src",
              std::string("[ICAP_PIXELTYPE]\r\nType=") + capType +
                  "\r\nAllowed=TWPT_BW,TWPT_GRAY,TWPT_RGB,1_to_9\r\nCurrent=TWPT_RGB\r\n"
                  "Set=TWON_ONEVALUE,TWON_ENUMERATION,TWON_ARRAY,TWON_RANGE,TWON_ODD\r\n");
    ++data;
    --size;
    TW_CAPABILITY cap{ICAP_PIXELTYPE, conType, nullptr};
    if (size > 0) {
        cap.hContainer = plat::memAlloc(size, false);
        std::memcpy(cap.hContainer, data, size);
    }
    request(MSG_SET, cap);
    if (cap.hContainer) plat::memFree(cap.hContainer);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Settings on a memory file system when there is one: sets write with fsync.
    std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    std::string tmpl = base + "/pxcm-fuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    g_root = tmpl;
    std::atexit(removeRoot);
    g_windows = tmpl + "/windows";
    fs::create_directories(g_windows);
    setenv("PXCM_ROOT", tmpl.c_str(), 1);
    setenv("PXCM_PROMPTS", "/dev/null", 1);
    writeFile(g_windows + "/pxcm.ini", DICTIONARY);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    resetSourceState();
    resetCapsState();
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0:
            grammar(text);
            break;
        case 1:
            settings(text);
            break;
        default:
            container(data + 1, size - 1);
            break;
    }
    return 0;
}
