// trace.h — the source's trace writer. Traced functions call it first with a
// constant line; the delivered configuration discards every line.
#pragma once

void TraceLog(const char* text);

// The trace file that an application's open removes.
constexpr char TRACE_FILE[] = "c:\\camds.log";
