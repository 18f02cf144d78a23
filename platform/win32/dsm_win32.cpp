// dsm_win32.cpp — notifications to the Source Manager: the TWAINDSM.DLL
// that the application already loaded takes them; otherwise TWAIN_32.DLL
// is loaded for each one and released afterwards. Either way the calling
// thread's message loop is made to turn.
#include "platform/dsm.h"

#include <windows.h>

namespace plat {
namespace {

DSMENTRYPROC entryOf(HMODULE dsm) {
    return reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(dsm, "DSM_Entry")));
}

void sendToManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
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

}  // namespace

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    sendToManager(origin, dest, msg);
    // A manager without the application's callback holds the notification
    // until the application's next MSG_PROCESSEVENT, and wakes only a window
    // given at MSG_OPENDSM: an application that gave none (a console one)
    // would sit in GetMessage. The camera window runs on the application's
    // thread, so a harmless message on that thread's queue makes its loop
    // turn and hand the next message to MSG_PROCESSEVENT.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

}  // namespace plat
