// item_words.cpp — list items read from their words.
#include "caps/item_words.h"

#include <cstdint>

namespace caps {

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
