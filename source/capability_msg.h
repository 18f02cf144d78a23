// capability_msg.h — DG_CONTROL / DAT_CAPABILITY: capability negotiation
// over the settings files.
#pragma once

#include "source/triplet.h"

TW_UINT16 CapabilityMsg(TripletArgs* args);

// The dictionary section that maps capability numbers to section names.
constexpr unsigned CAP_SECTION_NAME_BUFFER = 80;
