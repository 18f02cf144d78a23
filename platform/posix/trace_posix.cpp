// trace_posix.cpp — the trace switch is $PXCM_TRACE, the file to append to.
#include <stdlib.h>
#include <time.h>

#include <cstdio>
#include <ctime>

#include "platform/trace_os.h"

namespace plat {

std::string traceFileSetting() {
    const char* path = getenv("PXCM_TRACE");
    return path ? path : "";
}

void traceTimeStamp(char* out, std::size_t size) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char seconds[24];
    std::strftime(seconds, sizeof seconds, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(out, size, "%s.%03ld", seconds, now.tv_nsec / 1000000L);
}

}  // namespace plat
