// item_types.h — one row per TWAIN item type: the widths at which the
// containers hold it, allocate it and read it.
#pragma once

#include <cstddef>

#include "platform/twain.h"

namespace caps {

struct ItemTypeWidths {
    TW_UINT16 type;
    // Bytes per item that the list builders copy (0: no item is written).
    // The strings go at 1 byte an item (their records are 34 to 256 bytes),
    // as the source has always sent them.
    std::size_t list;
    // Bytes per item that a list block allocates (AltTWItemSize): BOOL and
    // the strings fall under the 2 of any other type.
    TW_UINT16 allocation;
    // Bytes of a value that the readers take: integers, booleans, reals and
    // frames (0: no value form).
    std::size_t value;
    // Bytes that ExtractOneValue and ExtractEnumerationValue copy: integers
    // and booleans only.
    std::size_t extract;
};

// Every item type this source knows, TWTY_INT8 to TWTY_STR255, in code
// order; nullptr for any other (the 1.9 and 2.x types, negative values).
const ItemTypeWidths* itemTypeWidths(TW_UINT16 itemType);

// Bytes per item inside a list container: 1, 2, 4 or 16; 0 for item types
// whose items are not written.
[[nodiscard]] std::size_t itemWidth(TW_UINT16 itemType);

// Bytes per list item for the item types that have a value form (integers,
// booleans, reals, frames); 0 for strings and unknown types.
[[nodiscard]] std::size_t listItemWidth(TW_UINT16 itemType);

// The width ExtractOneValue copies: 1, 2 or 4; 0 for other types.
[[nodiscard]] std::size_t extractWidth(TW_UINT16 itemType);

}  // namespace caps
