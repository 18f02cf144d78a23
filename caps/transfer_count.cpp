// transfer_count.cpp — the current CAP_XFERCOUNT from the source-control file.
#include "caps/transfer_count.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "caps/settings_files.h"

namespace caps {
namespace {
constexpr char XFERCOUNT_SECTION[] = "CAP_XFERCOUNT";
constexpr std::size_t NUMBER_TEXT_MAX = 15;
}  // namespace

int transferCountLimit() {
    const std::string text =
        readText(sourceControlFile(), XFERCOUNT_SECTION, CURRENT_KEY, "-1", NUMBER_TEXT_MAX);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || n == 0 || n < -1 || n > 0x7fff)
        return -1;
    return static_cast<int>(n);
}

}  // namespace caps
