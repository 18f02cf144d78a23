// module_start.h — module start and stop, defined by the data source. Windows
// calls DllMain itself; the POSIX build calls it from the module's
// constructor and destructor.
#pragma once

#include "platform/os_types.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
