// trace_os.h — the per-platform half of the trace writer: where the switch
// is read, and the local time stamp that starts each line.
#pragma once

#include <cstddef>
#include <string>

namespace plat {

// The trace file the user asked for; empty when the trace is off.
std::string traceFileSetting();

// "YYYY-MM-DD HH:MM:SS.mmm" of the local time now.
void traceTimeStamp(char* out, std::size_t size);

}  // namespace plat
