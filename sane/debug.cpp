// debug.cpp — the level from $SANE_DEBUG_PXCM and the lines on stderr.
#include "sane/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace sanepxcm {

namespace {

int g_level = 0;

}  // namespace

void initDebug() {
    const char* value = std::getenv("SANE_DEBUG_PXCM");
    g_level = value ? std::atoi(value) : 0;
}

void dbg(int level, const char* format, ...) {
    if (level > g_level) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "[pxcm] %s\n", line);
}

}  // namespace sanepxcm
