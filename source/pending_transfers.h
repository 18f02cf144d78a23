// pending_transfers.h — the pictures one Load hands over: one MSG_XFERREADY
// for all of them, then one taken off at each MSG_ENDXFER, so that an
// application that ends at a count of 0 has had every picture.
#pragma once

#include <vector>

// Announces `pictures` (list indexes in transfer order) with one
// MSG_XFERREADY. Nothing happens for an empty list or while the pictures of
// an earlier Load are still pending: a transfer never changes its picture.
void announceTransfers(std::vector<int> pictures);
// The picture the next transfer delivers; -1 when none is pending.
int nextPendingPicture();
// MSG_ENDXFER in state 6: the front picture is done, transferred or not.
// Answers the pictures still to come.
int endPendingTransfer();
// The pictures of this Load still to come, the current one included.
int pendingTransfers();
// MSG_RESET, MSG_DISABLEDS and MSG_CLOSEDS: the rest is not delivered.
void dropPendingTransfers();
