// transfer_count.h — CAP_XFERCOUNT as the application left it: how many
// pictures one Load may hand over.
#pragma once

namespace caps {

// The current CAP_XFERCOUNT; -1 (all) when unset or not a number.
int transferCountLimit();

}  // namespace caps
