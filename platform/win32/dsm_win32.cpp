// dsm_win32.cpp — notifications to the Source Manager: the TWAINDSM.DLL
// that the application already loaded takes them; otherwise TWAIN_32.DLL
// is loaded for each one and released afterwards.
#include "platform/dsm.h"

#include <windows.h>

namespace plat {
namespace {

DSMENTRYPROC entryOf(HMODULE dsm) {
    return reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(dsm, "DSM_Entry")));
}

}  // namespace

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    // Held by the application: no reference of ours to give back.
    if (HMODULE loaded = GetModuleHandleA("TWAINDSM.DLL")) {
        if (DSMENTRYPROC entry = entryOf(loaded)) {
            entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
            return;
        }
    }
    HMODULE dsm = LoadLibraryA("TWAIN_32.DLL");
    if (!dsm) return;
    if (DSMENTRYPROC entry = entryOf(dsm)) entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
    FreeLibrary(dsm);
}

}  // namespace plat
