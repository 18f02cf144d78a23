// triplet.h — one DS_Entry call gathered for the operation handlers.
#pragma once

#include "platform/twain.h"

struct TripletArgs {
    pTW_IDENTITY origin;
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    TW_MEMREF data;
};

using OperationHandler = TW_UINT16 (*)(TripletArgs* args);

struct DispatchEntry {
    TW_UINT16 dat;
    OperationHandler handler;  // nullptr ends a table
};
