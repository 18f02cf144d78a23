// event.h — whether an application message belongs to the camera window.
#pragma once

#include "platform/twain.h"

// True when the camera window exists and the dialog-message check consumed
// the message that the event points to.
bool isCameraWindowMessage(pTW_EVENT event);
