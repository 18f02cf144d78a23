// dsm_posix.cpp — notifications back to the Source Manager on POSIX: the
// library named by $PXCM_DSM, else a manager library already loaded in the
// process, else the running program's DSM_Entry; the source lock let go
// meanwhile.
#include "platform/dsm.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/posix/window_thread_posix.h"

namespace plat {
namespace {

// The names under which applications load the open-source manager.
constexpr const char* LOADED_MANAGER_NAMES[] = {"libtwaindsm.so.2", "libtwaindsm.so"};

// One reference to a loaded library, given back when it goes.
class OpenLibrary {
public:
    OpenLibrary(const char* name, int flags) : h_(::dlopen(name, flags)) {}
    OpenLibrary(const OpenLibrary&) = delete;
    OpenLibrary& operator=(const OpenLibrary&) = delete;
    ~OpenLibrary() {
        if (h_) ::dlclose(h_);
    }
    explicit operator bool() const { return h_ != nullptr; }
    DSMENTRYPROC entry() const {
        return h_ ? reinterpret_cast<DSMENTRYPROC>(::dlsym(h_, "DSM_Entry")) : nullptr;
    }

private:
    void* h_;
};

void send(DSMENTRYPROC entry, pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    if (entry) entry(origin, dest, DG_CONTROL, DAT_NULL, msg, nullptr);
}

}  // namespace

void notifySourceManager(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT16 msg) {
    // The manager may call the application's callback at once, and the
    // callback may call the source, here or on another thread.
    SourceLockGap gap;
    const char* named = std::getenv("PXCM_DSM");
    if (named && *named) {
        OpenLibrary lib(named, RTLD_NOW | RTLD_LOCAL);
        send(lib.entry(), origin, dest, msg);
        return;
    }
    // A manager that the application loaded, even privately (RTLD_LOCAL),
    // is the one that knows this source; RTLD_NOLOAD never loads another.
    for (const char* name : LOADED_MANAGER_NAMES) {
        OpenLibrary lib(name, RTLD_NOLOAD | RTLD_LAZY);
        if (!lib) continue;
        send(lib.entry(), origin, dest, msg);
        return;
    }
    send(reinterpret_cast<DSMENTRYPROC>(::dlsym(RTLD_DEFAULT, "DSM_Entry")), origin, dest, msg);
}

}  // namespace plat
