// dll_main.h — the module's entry at load and unload, as Windows calls it.
#pragma once

#include "platform/os_types.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
