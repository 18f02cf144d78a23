// item_words.cpp — list items at their width.
#include "caps/item_words.h"

#include <cstdint>

#include "caps/containers.h"

namespace caps {

std::size_t listItemWidth(TW_UINT16 itemType) {
    switch (itemType) {
        case TWTY_STR32:
        case TWTY_STR64:
        case TWTY_STR128:
        case TWTY_STR255:
            return 0;  // a string item has no value form
        default:
            return itemWidth(itemType);
    }
}

TW_UINT32 readWord(const TW_UINT8* p, std::size_t width) {
    TW_UINT32 word = 0;
    for (std::size_t b = 0; b < width && b < 4; ++b)
        word |= static_cast<TW_UINT32>(p[b]) << (8 * b);
    return word;
}

long long integerValue(TW_UINT16 itemType, TW_UINT32 word) {
    switch (itemType) {
        case TWTY_INT8:
            return static_cast<std::int8_t>(word & 0xff);
        case TWTY_UINT8:
            return word & 0xff;
        case TWTY_INT16:
            return static_cast<std::int16_t>(word & 0xffff);
        case TWTY_UINT16:
        case TWTY_BOOL:
            return word & 0xffff;
        case TWTY_INT32:
            return static_cast<std::int32_t>(word);
        default:
            return word;
    }
}

}  // namespace caps
