// dsm.h — the source's way back to the Source Manager for its notifications
// (DG_CONTROL / DAT_NULL / MSG_XFERREADY, MSG_CLOSEDSREQ), to the manager
// already loaded in the process first. Windows: the application's
// TWAINDSM.DLL, else TWAIN_32.DLL, loaded and released around the call; then
// a WM_NULL posted to the calling (the application's) thread, so that its
// message loop turns and its next MSG_PROCESSEVENT takes what the manager
// holds.
// POSIX: the library named by $PXCM_DSM, else a loaded libtwaindsm.so.2 or
// libtwaindsm.so, else the running program's global DSM_Entry symbol. A
// missing manager drops the notification silently.
#pragma once

#include "twain.h"

namespace plat {

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg);

}  // namespace plat
