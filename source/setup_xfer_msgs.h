// setup_xfer_msgs.h — the DG_CONTROL operations that prepare a transfer:
// memory-transfer buffer sizes, the transfer file, the transfer group.
#pragma once

#include "source/triplet.h"

TW_UINT16 SetupMemXferMsg(TripletArgs* args);
TW_UINT16 SetupFileXferMsg(TripletArgs* args);
TW_UINT16 XferGroupMsg(TripletArgs* args);

// The name given by the last DAT_SETUPFILEXFER / MSG_SET ("" at load).
const char* transferFileName();

// The file name that DAT_SETUPFILEXFER answers.
constexpr char TRANSFER_FILE_ANSWER[] = "c:\\twain.bmp";
