// dsm_entry.cpp — the test programs' own Source Manager entry: records every
// notification that the source sends, queued or in a single slot.
#include <mutex>
#include <vector>

#include "platform/export.h"
#include "platform/twain.h"
#include "support/notifications.h"

namespace testsupport {

namespace {
DsmMode g_mode = DsmMode::Queue;
NotificationCallback g_callback;
// The window's thread notifies too.
std::mutex g_record;
}  // namespace

void setNotificationCallback(NotificationCallback callback) {
    g_callback = std::move(callback);
}

static void invokeNotificationCallback(TW_UINT16 msg) {
    if (g_callback) g_callback(msg);
}

std::vector<Notification>& notifications() {
    static std::vector<Notification> list;
    return list;
}

void setDsmMode(DsmMode mode) {
    g_mode = mode;
    notificationSlot() = NotificationSlot{};
    g_callback = nullptr;
}

NotificationSlot& notificationSlot() {
    static NotificationSlot slot;
    return slot;
}

bool takeNotification(TW_UINT16* msg) {
    NotificationSlot& slot = notificationSlot();
    if (!slot.full) return false;
    if (msg) *msg = slot.msg;
    slot.full = false;
    return true;
}

}  // namespace testsupport

extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest,
                                                           TW_UINT32 DG, TW_UINT16 DAT,
                                                           TW_UINT16 MSG, TW_MEMREF pData) {
    using namespace testsupport;
    {
        std::lock_guard<std::mutex> record(g_record);
        notifications().push_back(
            {pOrigin ? pOrigin->Id : 0, pDest ? pDest->Id : 0, DG, DAT, MSG, pData == nullptr});
        if (g_mode == DsmMode::SingleSlot) {
            NotificationSlot& slot = notificationSlot();
            if (slot.full) {
                ++slot.lost;
            } else {
                slot.full = true;
                slot.msg = MSG;
            }
        }
    }
    invokeNotificationCallback(MSG);
    return TWRC_SUCCESS;
}
