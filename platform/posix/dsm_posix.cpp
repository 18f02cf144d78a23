// dsm_posix.cpp — notifications back to the Source Manager on POSIX: the
// library named by $PXCM_DSM, else the running program's DSM_Entry.
#include "platform/dsm.h"

#include <dlfcn.h>

#include <cstdlib>

namespace plat {

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    const char* lib = std::getenv("PXCM_DSM");
    if (lib && *lib) {
        void* h = ::dlopen(lib, RTLD_NOW | RTLD_LOCAL);
        if (!h) return;
        if (auto entry = reinterpret_cast<DSMENTRYPROC>(::dlsym(h, "DSM_Entry")))
            entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
        ::dlclose(h);
        return;
    }
    if (auto entry = reinterpret_cast<DSMENTRYPROC>(::dlsym(RTLD_DEFAULT, "DSM_Entry")))
        entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
}

}  // namespace plat
