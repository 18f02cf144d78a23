// item_words.h — the items of a container's list, read at their item type's
// width from the little-endian block.
#pragma once

#include <cstddef>

#include "caps/item_types.h"
#include "platform/twain.h"

namespace caps {

// The little-endian word of `width` bytes (at most 4) at p.
TW_UINT32 readWord(const TW_UINT8* p, std::size_t width);

// The integer a word of `itemType` stands for, sign-extended for the signed
// types.
long long integerValue(TW_UINT16 itemType, TW_UINT32 word);

}  // namespace caps
