// packed_fields.h — fields of the packed TWAIN records read by value: test
// macros take their arguments by reference, which a misaligned field of a
// 2-byte-packed record cannot give.
#pragma once

#include "platform/twain.h"

inline void* handleOf(const TW_CAPABILITY& cap) {
    return cap.hContainer;
}

template <typename T>
T valueOf(T field) {
    return field;
}
