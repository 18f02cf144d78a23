// dll_main.cpp — records the module instance and fills in the identity.
#include "source/dll_main.h"

#include "image/jpeg_decoder.h"
#include "platform/module_start.h"
#include "platform/trace.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "ui/jpeg_error_box.h"

namespace {
constexpr char TRACE_MAIN[] = "(MAIN) : BOOL WINAPI DllMain";
constexpr char TRACE_PROCESS_ATTACH[] = "(MAIN) : BOOL WINAPI DllMain -> DLL_PROCESS_ATTACH";
constexpr char TRACE_PROCESS_DETACH[] = "(MAIN) : BOOL WINAPI DllMain -> DLL_PROCESS_DETACH";
constexpr char TRACE_THREAD_ATTACH[] = "(MAIN) : BOOL WINAPI DllMain -> DLL_THREAD_ATTACH";
constexpr char TRACE_THREAD_DETACH[] = "(MAIN) : BOOL WINAPI DllMain -> DLL_THREAD_DETACH";
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    TraceLog(TRACE_MAIN);
    if (!module) return FALSE;
    g_source.moduleInstance = module;
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            TraceLog(TRACE_PROCESS_ATTACH);
            g_source.appIdentity.Id = 0;
            fillSourceIdentity(g_source.sourceIdentity, module);
            setJpegMessageSink(showJpegErrorBox);
            break;
        case DLL_THREAD_ATTACH:
            TraceLog(TRACE_THREAD_ATTACH);
            break;
        case DLL_THREAD_DETACH:
            TraceLog(TRACE_THREAD_DETACH);
            break;
        case DLL_PROCESS_DETACH:
            TraceLog(TRACE_PROCESS_DETACH);
            dropCurrentImage();
            break;
    }
    return TRUE;
}

PXCM_MODULE_ENTRY(DllMain)
