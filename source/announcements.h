// announcements.h — MSG_XFERREADY for every picture the user hands over,
// paced: the first at once, each further one after the application has
// ended the previous transfer and its message loop turns again. Source
// Managers that keep one pending message per source drop nothing.
#pragma once

// Announces `count` pictures: the first now, the rest held back.
void announceTransfers(int count);
// The application ended a transfer (MSG_ENDXFER): when an announcement is
// held back, the camera window is asked (by a posted message) to send it.
void transferEnded();
// The camera window's handling of that posted message: sends the next one.
void announceNext();
// MSG_RESET of DAT_PENDINGXFERS, MSG_DISABLEDS and MSG_CLOSEDS.
void dropAnnouncements();
// Held-back announcements (tests).
int heldAnnouncements();
