// test_dsm_library.cpp — a stand-in Source Manager library for the
// notification tests: it counts the notifications that reach its DSM_Entry.
#include "platform/export.h"
#include "platform/twain.h"

extern "C" {

PXCM_EXPORT int testDsmCalls = 0;
PXCM_EXPORT TW_UINT16 testDsmLastMsg = 0;
PXCM_EXPORT pTW_IDENTITY testDsmLastOrigin = nullptr;
PXCM_EXPORT pTW_IDENTITY testDsmLastDest = nullptr;

PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY origin, pTW_IDENTITY dest,
                                                TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                                TW_MEMREF data) {
    if (dg != DG_CONTROL || dat != DAT_NULL || data != nullptr) return TWRC_FAILURE;
    ++testDsmCalls;
    testDsmLastMsg = msg;
    testDsmLastOrigin = origin;
    testDsmLastDest = dest;
    return TWRC_SUCCESS;
}
}
