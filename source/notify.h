// notify.h — the source's notifications to the application, through the
// Source Manager.
#pragma once

// MSG_XFERREADY: the protocol state becomes 6 whether or not it arrives.
void NotifyXferReady();
// MSG_CLOSEDSREQ: the user closed the camera window.
void NotifyCloseDSReq();
