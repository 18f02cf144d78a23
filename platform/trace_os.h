// trace_os.h — the per-platform half of the trace writer: where the switch
// is read, how its file is opened, and the local time stamp that starts each
// line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace plat {

// The trace file the user asked for; empty when the trace is off.
std::string traceFileSetting();

// The trace file opened for appending, created where it is missing; null
// when it cannot be opened at once or is no regular file (a FIFO that no one
// reads, a device, a folder, a link), so that the open of the source never
// waits on it.
std::FILE* openTraceFile(const std::string& path);

// "YYYY-MM-DD HH:MM:SS.mmm" of the local time now.
void traceTimeStamp(char* out, std::size_t size);

}  // namespace plat
