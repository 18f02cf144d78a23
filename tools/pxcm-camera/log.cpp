// log.cpp — stderr diagnostics of the simulated camera.
#include "tools/pxcm-camera/log.h"

#include <cstdarg>
#include <cstdio>

namespace pxcmcam {

namespace {
bool verboseOn = false;

void write(const char* format, va_list args) {
    std::fputs("pxcm-camera: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}
}  // namespace

void setVerbose(bool on) {
    verboseOn = on;
}

void logf(const char* format, ...) {
    if (!verboseOn) return;
    va_list args;
    va_start(args, format);
    write(format, args);
    va_end(args);
}

void warnf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    write(format, args);
    va_end(args);
}

}  // namespace pxcmcam
