// event.cpp — MSG_PROCESSEVENT's question to the camera window.
#include "source/event.h"

#include "platform/window.h"
#include "source/source_state.h"

bool isCameraWindowMessage(pTW_EVENT event) {
    return g_source.cameraWindow != nullptr &&
           plat::isDialogMessage(g_source.cameraWindow, event->pEvent);
}
