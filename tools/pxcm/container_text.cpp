// container_text.cpp — printing containers and reading value arguments.
#include "tools/pxcm/container_text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "caps/item_words.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/profile.h"
#include "tools/pxcm/cap_names.h"

namespace pxcm {
namespace {

std::string realText(TW_UINT32 word) {
    const double v = static_cast<short>(word & 0xffff) + (word >> 16) / 65536.0;
    // Four decimals: a TW_FIX32 holds about that many (1/65536).
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

ValueNames::ValueNames(unsigned capNumber) {
    const std::string dictionary = plat::windowsDirectory() + "\\pxcm.ini";
    char key[16], section[80];
    std::snprintf(key, sizeof key, "%u", capNumber);
    plat::profileGetString("CAP NUMBERS", key, "", section, sizeof section, dictionary.c_str());
    if (!section[0]) return;
    std::vector<char> lines(16384);
    unsigned long n = plat::profileGetSection(
        section, lines.data(), static_cast<unsigned long>(lines.size()), dictionary.c_str());
    for (std::size_t at = 0; at < n && lines[at];) {
        std::string line(lines.data() + at);
        at += line.size() + 1;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        names_.emplace_back(line.substr(0, eq), std::strtol(line.c_str() + eq + 1, nullptr, 10));
    }
}

std::string ValueNames::text(TW_UINT16 itemType, TW_UINT32 word) const {
    if (itemType == TWTY_FIX32) return realText(word);
    const long long v = caps::integerValue(itemType, word);
    for (const auto& [name, number] : names_)
        if (number == v) return name;
    if (itemType == TWTY_BOOL) return v ? "TRUE" : "FALSE";
    return std::to_string(v);
}

bool ValueNames::item(const std::string& argument, TW_UINT16 itemType, TW_UINT32* word) const {
    if (argument.empty()) return false;
    for (const auto& [name, number] : names_) {
        if (name.size() != argument.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(name[i])) ==
                   std::toupper(static_cast<unsigned char>(argument[i]));
        if (!same) continue;
        if (itemType == TWTY_FIX32) {
            *word = static_cast<TW_UINT32>(static_cast<TW_UINT16>(number));
        } else {
            *word = static_cast<TW_UINT32>(number);
        }
        return true;
    }
    char* end = nullptr;
    if (itemType == TWTY_FIX32) {
        double v = std::strtod(argument.c_str(), &end);
        if (*end != '\0' || !(v > -32768.0 && v < 32768.0)) return false;
        long scaled = static_cast<long>(v * 65536.0 + (v < 0 ? -0.5 : 0.5));
        *word = (static_cast<TW_UINT32>(scaled >> 16) & 0xffffu) |
                (static_cast<TW_UINT32>(scaled & 0xffff) << 16);
        return true;
    }
    if (itemType == TWTY_BOOL) {
        if (argument == "TRUE" || argument == "true") return *word = 1, true;
        if (argument == "FALSE" || argument == "false") return *word = 0, true;
    }
    long v = std::strtol(argument.c_str(), &end, 0);
    if (*end != '\0') return false;
    *word = static_cast<TW_UINT32>(v);
    return true;
}

bool containerItemType(const TW_CAPABILITY& cap, TW_UINT16* itemType) {
    if (!cap.hContainer || plat::memSize(cap.hContainer) < 2) return false;
    plat::MemLock lock(cap.hContainer);
    if (!lock) return false;
    std::memcpy(itemType, lock.get(), 2);
    return true;
}

std::string containerText(const TW_CAPABILITY& cap, const ValueNames& names) {
    if (!cap.hContainer) return "(no container)";
    const std::size_t size = plat::memSize(cap.hContainer);
    plat::MemLock lock(cap.hContainer);
    if (!lock) return "(no container)";
    const auto* b = lock.as<TW_UINT8>();
    if (size < 2) return "(too short)";
    const TW_UINT16 type = static_cast<TW_UINT16>(caps::readWord(b, 2));
    auto item = [&](const TW_UINT8* p) {
        if (type == TWTY_FRAME) {
            return realText(caps::readWord(p, 4)) + ":" + realText(caps::readWord(p + 4, 4)) + ":" +
                   realText(caps::readWord(p + 8, 4)) + ":" + realText(caps::readWord(p + 12, 4));
        }
        return names.text(type, caps::readWord(p, caps::listItemWidth(type)));
    };
    switch (cap.ConType) {
        case TWON_ONEVALUE:
            if (size < 6) return "(too short)";
            return names.text(type, caps::readWord(b + 2, 4));
        case TWON_RANGE:
            if (size < 22) return "(too short)";
            return names.text(type, caps::readWord(b + 2, 4)) + " to " +
                   names.text(type, caps::readWord(b + 6, 4)) + " step " +
                   names.text(type, caps::readWord(b + 10, 4));
        case TWON_ENUMERATION:
        case TWON_ARRAY: {
            const bool isEnum = cap.ConType == TWON_ENUMERATION;
            const std::size_t first = isEnum ? 14 : 6;
            if (size < first) return "(too short)";
            const TW_UINT32 n = caps::readWord(b + 2, 4);
            const TW_UINT32 current = isEnum ? caps::readWord(b + 6, 4) : 0;
            const TW_UINT32 def = isEnum ? caps::readWord(b + 10, 4) : 0;
            const std::size_t width = caps::listItemWidth(type);
            if (width == 0)
                return containerName(cap.ConType) + " of " + std::to_string(n) + " items";
            if (n > (size - first) / width)
                return "(too short for " + std::to_string(n) + " items)";
            std::string out = isEnum ? "" : "[";
            if (isEnum && n == 0) out = "(empty)";
            for (TW_UINT32 i = 0; i < n; ++i) {
                if (i) out += ", ";
                out += item(b + first + i * width);
                if (isEnum && (i == current || i == def))
                    out += i == current && i == def ? " (current, default)"
                           : i == current           ? " (current)"
                                                    : " (default)";
            }
            return isEnum ? out : out + "]";
        }
        default:
            return "(container type " + std::to_string(cap.ConType) + ")";
    }
}

}  // namespace pxcm
