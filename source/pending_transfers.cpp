// pending_transfers.cpp — the queue of one Load's pictures.
#include "source/pending_transfers.h"

#include <deque>

#include "source/notify.h"

namespace {

std::deque<int> g_pending;

}  // namespace

void announceTransfers(std::vector<int> pictures) {
    if (pictures.empty() || !g_pending.empty()) return;
    g_pending.assign(pictures.begin(), pictures.end());
    NotifyXferReady();
}

int nextPendingPicture() {
    return g_pending.empty() ? -1 : g_pending.front();
}

int endPendingTransfer() {
    if (!g_pending.empty()) g_pending.pop_front();
    return static_cast<int>(g_pending.size());
}

int pendingTransfers() {
    return static_cast<int>(g_pending.size());
}

void dropPendingTransfers() {
    g_pending.clear();
}
