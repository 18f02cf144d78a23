// module_start_posix.cpp — module start and stop on POSIX: the loader runs
// these as Windows runs DllMain, with the module's base address as handle.
#include <dlfcn.h>

#include "platform/module_start.h"
#include "platform/posix/window_thread_posix.h"

namespace plat {

namespace {

HINSTANCE thisModule() {
    Dl_info info{};
    static const char anchor = 0;
    if (::dladdr(&anchor, &info) && info.dli_fbase) return info.dli_fbase;
    // dladdr cannot fail for our own address; any non-null handle will do.
    return const_cast<char*>(&anchor);
}

}  // namespace

void moduleStarts(ModuleEntry entry) {
    entry(thisModule(), DLL_PROCESS_ATTACH, nullptr);
}

void moduleStops(ModuleEntry entry) {
    entry(thisModule(), DLL_PROCESS_DETACH, nullptr);
    // No thread may run the module's code once it is unmapped.
    shutDownWindowThread();
}

}  // namespace plat
