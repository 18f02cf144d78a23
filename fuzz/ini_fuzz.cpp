// ini_fuzz.cpp — settings-file texts of any shape: the lookups never read
// out of bounds, and after a write the same lookup finds what was written
// while every byte outside the edited line stays.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/ini_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const sections[] = {"S", "s", "KMT-18", "", "a]b"};
    static const char* const keys[] = {"k", "K", "Current", "x y"};
    const char* section = sections[data[0] % 5];
    const char* key = keys[(data[0] / 5) % 4];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    using namespace plat::ini;
    Found before = findKey(text, section, key);
    std::size_t entries = 0;
    forEachEntry(text, section, [&](const Line&) { ++entries; });
    forEachSection(text, [&](std::string_view) {});

    std::string written = edit(text, section, key, "v1");
    Found after = findKey(written, section, key);
    if (!after.key || !after.hasValue || after.value != "v1") std::abort();
    // A key that was not there is added: nothing of the text is lost.
    if (!before.key && written.size() < text.size() + 3) std::abort();

    std::string removed = edit(written, section, key, nullptr);
    if (findKey(removed, section, key).key && !before.key) std::abort();
    (void)entries;
    return 0;
}
