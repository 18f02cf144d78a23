// containers.h — the TWAIN containers of capability answers: building them
// in movable global memory blocks, reading them, and their sizes.
#pragma once

#include <cstddef>

#include "caps/item_types.h"
#include "platform/twain.h"

// Each builder allocates a new block for its answer (MSG_SET: rewrites the
// application's own block in place, and only when it is large enough), stores
// the handle and the container type in the record and fills the block.
// Returns 0, TWCC_LOWMEMORY when no block could be allocated, or
// TWCC_BADVALUE when the application's block is too small for the answer.
TW_UINT16 BuildUpOneValue(pTW_CAPABILITY cap, TW_UINT16 itemType, TW_UINT32 item, TW_UINT16 msg);
// `items`: NumItems items packed at the item type's width.
void BuildUpEnumerationType(pTW_CAPABILITY cap, const TW_ENUMERATION* header, const void* items,
                            TW_UINT16 msg);
void BuildUpArrayType(pTW_CAPABILITY cap, const TW_ARRAY* header, const void* items, TW_UINT16 msg);
void BuildUpRangeType(pTW_CAPABILITY cap, const TW_RANGE* range, TW_UINT16 msg);

// Bytes per item used to size a list block.
TW_UINT16 AltTWItemSize(TW_INT16 itemType);

// Copy the one-value's item, or item `itemNumber` of an enumeration, to
// `dest` at its width (1, 2 or 4 bytes); nothing for other item types, for
// an item number beyond the list, or when the block cannot be locked.
void ExtractOneValue(pTW_CAPABILITY cap, void* dest);
void ExtractEnumerationValue(pTW_CAPABILITY cap, void* dest, TW_UINT32 itemNumber);

namespace caps {

constexpr std::size_t ONEVALUE_BYTES = 6;
constexpr std::size_t ENUMERATION_HEADER_BYTES = 14;
constexpr std::size_t ARRAY_HEADER_BYTES = 6;
constexpr std::size_t RANGE_BYTES = 22;

// Bytes that a container of this type with `numItems` items occupies when
// written (header and items); 0 for a type that is none of the four.
[[nodiscard]] std::size_t containerBytes(TW_UINT16 conType, TW_UINT16 itemType,
                                         std::size_t numItems);

}  // namespace caps
