// dispatch.h — the two dispatch tables and the walk over them.
#pragma once

#include "source/triplet.h"

extern const DispatchEntry CONTROL_TABLE[];
extern const DispatchEntry IMAGE_TABLE[];

// Calls the handler of the first row for `dat`; TWCC_BADPROTOCOL when the
// table has none.
TW_UINT16 Dispatch(TripletArgs* args, const DispatchEntry* table, TW_UINT16 dat);
