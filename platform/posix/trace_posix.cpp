// trace_posix.cpp — the trace file named by $PXCM_TRACE, one line per trace
// call, each after a local time stamp to the millisecond.
#include <stdlib.h>
#include <time.h>

#include <cstdio>
#include <ctime>

#include "platform/trace.h"

namespace plat {

bool g_traceOn = false;

namespace {

// Closed at unload too: a line written after that (a late DllMain) is
// dropped.
struct TraceFile {
    std::FILE* file = nullptr;
    ~TraceFile() { close(); }
    void close() {
        g_traceOn = false;
        if (file) std::fclose(file);
        file = nullptr;
    }
    void open(const char* path) {
        close();
        file = std::fopen(path, "a");
        g_traceOn = file != nullptr;
    }
};
TraceFile g_trace;

}  // namespace

void traceSwitch() {
    g_trace.close();
    const char* path = getenv("PXCM_TRACE");
    if (!path || !*path) return;
    g_trace.open(path);
}

void traceWrite(const char* line) {
    if (!g_trace.file) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(g_trace.file, "%s.%03ld %s\n", stamp, now.tv_nsec / 1000000L, line);
    std::fflush(g_trace.file);
}

}  // namespace plat
