// debug.h — debug output by SANE's convention: $SANE_DEBUG_PXCM=N prints the
// messages of level N and below on standard error, each after "[pxcm] ".
#pragma once

namespace sanepxcm {

// Levels: 1 failures, 2 what the backend does, 3 each call, 4 link details.
constexpr int DBG_ERROR = 1;
constexpr int DBG_INFO = 2;
constexpr int DBG_CALL = 3;
constexpr int DBG_LINK = 4;

// Reads $SANE_DEBUG_PXCM (sane_init calls it).
void initDebug();
void dbg(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace sanepxcm
