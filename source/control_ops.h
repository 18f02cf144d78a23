// control_ops.h — DG_CONTROL operations: identity, open and close, status,
// pending transfers.
#pragma once

#include "source/triplet.h"

TW_UINT16 IdentityMsg(TripletArgs* args);
TW_UINT16 OpenDS(TripletArgs* args);
TW_UINT16 CloseDS();
TW_UINT16 StatusMsg(TripletArgs* args);
TW_UINT16 PendingXferMsg(TripletArgs* args);

// The source-control file's pending-transfer count.
constexpr char ADF_SECTION[] = "ADF";
constexpr char PENDING_IMAGES_KEY[] = "PendingImages";
