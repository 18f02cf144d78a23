// capability_ops.h — the capability operations over the settings files:
// answering, storing and resetting a capability's values. Non-zero results
// are TWAIN condition codes.
#pragma once

#include <string>
#include <string_view>

#include "platform/os_types.h"
#include "platform/twain.h"

// Builds the container that answers `msg` (MSG_GET, MSG_GETCURRENT,
// MSG_GETDEFAULT, MSG_SET, MSG_RESET) from the section's values: 0, or
// TWCC_BADCAP when the value key is missing. For MSG_SET the application's
// block is rewritten only when it is large enough (TWCC_BADVALUE otherwise).
// An enumeration whose current or default index would not name one of its
// items (none at all, or more stored than a list holds) is TWCC_BADVALUE; a
// container key that names no container is TWCC_BADCAP; a block that cannot
// be had is TWCC_LOWMEMORY. 0 always comes with a container.
TW_UINT16 SetValues(pTW_CAPABILITY cap, TW_UINT16 msg, const char* section);

// Index in "Allowed" of the current (or, for MSG_GETDEFAULT, default) value,
// by the first eight characters of the texts; 0 when none matches.
int GetIndex(TW_UINT16 msg, const char* section);

// Checks and stores the values of a MSG_SET: 0 or TWCC_BADVALUE (also for
// values of another item type than the capability's, and for a list that
// would leave no item allowed), or TWCC_OPERATIONERROR when the file does not
// take the values (it stays as it was).
TW_INT16 SetNewCap(pTW_CAPABILITY cap, const char* section);

// Whether `value` is allowed; `textOut` (at least 30 characters) receives
// the text to store for it.
BOOL IsCapAllowed(TW_INT16 value, const char* section, char* textOut);

// The dictionary's name for `value` in the capability's section (its number
// when the section is empty); `textOut` (at least 30 characters) is left as
// it was when no name matches.
void ConvertAttributeToText(int value, char* textOut, const char* section);

// Restores "Allowed" from "PowerON" and "Current" from "Default": 0, or
// TWCC_BADPROTOCOL when the capability cannot be reset ("Reset" says so, or
// there is no "PowerON" or "Default" text to restore), or TWCC_BADCAP when
// the source-control file has no section for it. Writes nothing then.
// TWCC_OPERATIONERROR when the file does not take the values.
TW_UINT16 ResetValues(const char* section);

// The parts of a range text as item words: integers, or for TWTY_FIX32 the
// TW_FIX32 of the real value.
TW_UINT32 RangeMinimum(const char* rangeText, TW_UINT16 itemType);
TW_UINT32 RangeMaximum(const char* rangeText, TW_UINT16 itemType);
TW_UINT32 RangeStep(const char* rangeText, TW_UINT16 itemType);

namespace caps {

// The item word of one value text: a symbolic name's number from the
// capability's dictionary section (99 when absent), a TWTY_FIX32 real as
// its TW_FIX32, or a decimal integer.
[[nodiscard]] TW_UINT32 valueNumber(std::string_view text, const char* section, TW_UINT16 itemType);

// Text of the ConvertAttributeToText and IsCapAllowed answers, with its NUL.
constexpr std::size_t ATTRIBUTE_TEXT_BYTES = 30;

// The allowed-test of a TWTY_FIX32 one-value set, as IsCapAllowed is for
// integers: within a range and moved down onto its step (counted from the
// minimum; the text "%.6f"), or equal to an item of a list (the item's own
// text, so that the indexes find it). False, `textOut` untouched, otherwise.
[[nodiscard]] bool isRealAllowed(TW_FIX32 value, const char* section, std::string& textOut);

}  // namespace caps
