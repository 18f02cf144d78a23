// user_interface_msg.h — DG_CONTROL / DAT_USERINTERFACE: enabling the source
// (camera found, camera window created) and disabling it.
#pragma once

#include "source/triplet.h"

TW_UINT16 InterfaceMsg(TripletArgs* args);
TW_UINT16 EnableDS(pTW_USERINTERFACE ui);
TW_UINT16 DisableDS(pTW_USERINTERFACE ui);
