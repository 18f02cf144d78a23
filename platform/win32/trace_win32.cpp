// trace_win32.cpp — the trace file named by key "File" of section [Trace] in
// the Windows directory's pxcm.ini, one line per trace call, each after a
// local time stamp to the millisecond.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"
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
    const std::string ini = windowsDirectory() + "\\pxcm.ini";
    char path[MAX_PATH] = "";
    if (!profileGetString("Trace", "File", "", path, sizeof path, ini.c_str())) return;
    g_trace.open(path);
}

void traceWrite(const char* line) {
    if (!g_trace.file) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::fprintf(g_trace.file, "%04u-%02u-%02u %02u:%02u:%02u.%03u %s\n", t.wYear, t.wMonth, t.wDay,
                 t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, line);
    std::fflush(g_trace.file);
}

}  // namespace plat
