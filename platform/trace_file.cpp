// trace_file.cpp — the trace file: opened at the switch, one line per trace
// call after a local time stamp to the millisecond, flushed at once so that
// a crash loses nothing already traced.
#include <cstdio>
#include <string>

#include "platform/trace.h"
#include "platform/trace_os.h"

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
    void open(const std::string& path) {
        close();
        file = openTraceFile(path);
        g_traceOn = file != nullptr;
    }
};
TraceFile g_trace;

}  // namespace

void traceSwitch() {
    g_trace.close();
    const std::string path = traceFileSetting();
    if (!path.empty()) g_trace.open(path);
}

void traceWrite(const char* line) {
    if (!g_trace.file) return;
    char stamp[32];
    traceTimeStamp(stamp, sizeof stamp);
    std::fprintf(g_trace.file, "%s %s\n", stamp, line);
    std::fflush(g_trace.file);
}

}  // namespace plat
