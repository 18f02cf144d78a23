// query_support.h — MSG_QUERYSUPPORT: which capability operations the
// source-control file allows, as TWQC_ flags in a TW_ONEVALUE.
#pragma once

#include "platform/twain.h"

// The flags of the operations that the capability's container keys allow
// ("Get", "GetCurrent", "GetDefault", "Set", "Reset"), answered in a new
// TW_ONEVALUE of TWTY_INT32: 0, TWCC_BADCAP when the source-control file
// has no section for the capability, or TWCC_LOWMEMORY.
TW_UINT16 QuerySupport(pTW_CAPABILITY cap, const char* section);

namespace caps {

// The TWQC_ flags alone; false when the capability has no section.
[[nodiscard]] bool supportFlags(const char* section, TW_INT32* flags);

}  // namespace caps
