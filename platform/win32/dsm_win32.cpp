// dsm_win32.cpp — notifications to the Source Manager: TWAIN_32.DLL is
// loaded for each one and released afterwards.
#include "platform/dsm.h"

#include <windows.h>

namespace plat {

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    HMODULE dsm = LoadLibraryA("TWAIN_32.DLL");
    if (!dsm) return;
    auto entry =
        reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(dsm, "DSM_Entry")));
    if (entry) entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
    FreeLibrary(dsm);
}

}  // namespace plat
