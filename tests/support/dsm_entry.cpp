// dsm_entry.cpp — the test programs' own Source Manager entry: records every
// notification that the source sends.
#include <vector>

#include "platform/export.h"
#include "platform/twain.h"
#include "support/notifications.h"

namespace testsupport {

std::vector<Notification>& notifications() {
    static std::vector<Notification> list;
    return list;
}

}  // namespace testsupport

extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest,
                                                           TW_UINT32 DG, TW_UINT16 DAT,
                                                           TW_UINT16 MSG, TW_MEMREF pData) {
    testsupport::notifications().push_back(
        {pOrigin ? pOrigin->Id : 0, pDest ? pDest->Id : 0, DG, DAT, MSG, pData == nullptr});
    return TWRC_SUCCESS;
}
