// entry.h — the data source's exported entry.
#pragma once

#include "platform/export.h"
#include "platform/twain.h"

extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DS_Entry(pTW_IDENTITY pOrigin, TW_UINT32 DG,
                                                          TW_UINT16 DAT, TW_UINT16 MSG,
                                                          TW_MEMREF pData);
