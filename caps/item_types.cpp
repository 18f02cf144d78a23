// item_types.cpp — the item-type table.
#include "caps/item_types.h"

namespace caps {

namespace {

constexpr ItemTypeWidths ITEM_TYPES[] = {
    // type, list, allocation, value, extract
    {TWTY_INT8, 1, 1, 1, 1},   {TWTY_INT16, 2, 2, 2, 2},  {TWTY_INT32, 4, 4, 4, 4},
    {TWTY_UINT8, 1, 1, 1, 1},  {TWTY_UINT16, 2, 2, 2, 2}, {TWTY_UINT32, 4, 4, 4, 4},
    {TWTY_BOOL, 2, 2, 2, 2},   {TWTY_FIX32, 4, 4, 4, 0},  {TWTY_FRAME, 16, 16, 16, 0},
    {TWTY_STR32, 1, 2, 0, 0},  {TWTY_STR64, 1, 2, 0, 0},  {TWTY_STR128, 1, 2, 0, 0},
    {TWTY_STR255, 1, 2, 0, 0},
};

static_assert(sizeof(TW_BOOL) == 2 && sizeof(TW_FIX32) == 4 && sizeof(TW_FRAME) == 16 &&
                  sizeof(TW_STR32) == 34 && sizeof(TW_STR64) == 66 && sizeof(TW_STR128) == 130 &&
                  sizeof(TW_STR255) == 256,
              "the TWAIN records keep their sizes");

}  // namespace

const ItemTypeWidths* itemTypeWidths(TW_UINT16 itemType) {
    for (const ItemTypeWidths& row : ITEM_TYPES)
        if (row.type == itemType) return &row;
    return nullptr;
}

std::size_t itemWidth(TW_UINT16 itemType) {
    const ItemTypeWidths* row = itemTypeWidths(itemType);
    return row ? row->list : 0;
}

std::size_t listItemWidth(TW_UINT16 itemType) {
    const ItemTypeWidths* row = itemTypeWidths(itemType);
    return row ? row->value : 0;
}

std::size_t extractWidth(TW_UINT16 itemType) {
    const ItemTypeWidths* row = itemTypeWidths(itemType);
    return row ? row->extract : 0;
}

}  // namespace caps
