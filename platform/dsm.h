// dsm.h — the source's way back to the Source Manager for its notifications
// (DG_CONTROL / DAT_NULL / MSG_XFERREADY, MSG_CLOSEDSREQ). Windows: loads
// TWAIN_32.DLL and calls its DSM_Entry, releasing the library afterwards.
// POSIX: the library named by $PXCM_DSM, else the running program's global
// DSM_Entry symbol. A missing manager drops the notification silently.
#pragma once

#include "twain.h"

namespace plat {

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg);

}  // namespace plat
