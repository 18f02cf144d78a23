// module_start.h — module start and stop. Windows calls the module's DllMain
// itself; on POSIX the loader runs constructors, so the data source names its
// DllMain once with PXCM_MODULE_ENTRY and the platform calls it from there,
// with the module's base address as handle.
#pragma once

#include "platform/os_types.h"

namespace plat {

using ModuleEntry = BOOL(WINAPI*)(HINSTANCE module, DWORD reason, LPVOID reserved);

// Called at load and unload with the module's entry (POSIX only).
void moduleStarts(ModuleEntry entry);
void moduleStops(ModuleEntry entry);

}  // namespace plat

#ifdef _WIN32
#define PXCM_MODULE_ENTRY(entry)
#else
#define PXCM_MODULE_ENTRY(entry)                                 \
    __attribute__((constructor)) static void pxcmModuleStart() { \
        plat::moduleStarts(entry);                               \
    }                                                            \
    __attribute__((destructor)) static void pxcmModuleStop() {   \
        plat::moduleStops(entry);                                \
    }
#endif
