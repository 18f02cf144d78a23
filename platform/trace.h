// trace.h — the trace writer. Traced functions call it first with a constant
// line. The delivered configuration writes nothing: the check of one flag per
// line. A user switches the trace on ($PXCM_TRACE=FILE on POSIX, key "File"
// of section [Trace] in the Windows directory's pxcm.ini on Windows); the
// switch is read at each application's open of the source.
#pragma once

namespace plat {

// True while a trace file is open.
extern bool g_traceOn;

// Reads the switch and opens its file for appending (closing any file of an
// earlier open); no switch, or a file that cannot be opened at once or is no
// regular file, turns the trace off. Never fails and never waits.
void traceSwitch();

// Writes one line with a time stamp and flushes it; call only when on.
void traceWrite(const char* line);

}  // namespace plat

inline void TraceLog(const char* line) {
    if (plat::g_traceOn) plat::traceWrite(line);
}
