// notifications.h — what the test programs' DSM_Entry received from the
// source (tests/support/dsm_entry.cpp). Every test program has it.
#pragma once

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

}  // namespace testsupport
