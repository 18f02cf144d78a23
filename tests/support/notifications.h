// notifications.h — what the test programs' DSM_Entry received from the
// source (tests/support/dsm_entry.cpp). Every test program has it.
#pragma once

#include <functional>
#include <vector>

#include "platform/twain.h"

namespace testsupport {

struct Notification {
    TW_UINT32 originId;
    TW_UINT32 destId;
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    bool dataNull;
};

std::vector<Notification>& notifications();

// How the entry passes notifications on. Queue: every one is kept, in order
// (notifications()). SingleSlot: as a manager that keeps one pending message
// per source: a notification that arrives while the slot is full is lost.
enum class DsmMode { Queue, SingleSlot };
void setDsmMode(DsmMode mode);

struct NotificationSlot {
    bool full = false;
    TW_UINT16 msg = 0;
    int lost = 0;  // notifications that found the slot full
};
NotificationSlot& notificationSlot();
// Empties the slot as the application's loop would; true and the message
// when one was pending.
bool takeNotification(TW_UINT16* msg);

// Called inside the entry, on the thread that notifies, after the
// notification is recorded: as the open-source manager calls the callback
// an application registered. None by default; cleared by setDsmMode.
using NotificationCallback = std::function<void(TW_UINT16 msg)>;
void setNotificationCallback(NotificationCallback callback);

}  // namespace testsupport
