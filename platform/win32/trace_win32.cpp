// trace_win32.cpp — the trace switch is key "File" of section [Trace] in the
// Windows directory's pxcm.ini.
#include <windows.h>

#include <io.h>

#include <cstdio>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/trace_os.h"

namespace plat {

std::string traceFileSetting() {
    const std::string ini = windowsDirectory() + "\\pxcm.ini";
    char path[MAX_PATH] = "";
    if (!profileGetString("Trace", "File", "", path, sizeof path, ini.c_str())) return "";
    return path;
}

std::FILE* openTraceFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) return nullptr;
    // A device (CON, COM1, NUL) or a pipe is no trace file.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

void traceTimeStamp(char* out, std::size_t size) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::snprintf(out, size, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

}  // namespace plat
