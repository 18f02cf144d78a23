// container_text.h — capability containers as a user reads them, with the
// value names of the installed dictionary, and value arguments back to items.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/twain.h"

namespace pxcm {

// The value names of one capability, from the dictionary pxcm.ini in the
// Windows directory (its section named in "CAP NUMBERS").
class ValueNames {
public:
    explicit ValueNames(unsigned capNumber);

    // One item as text: its name where the dictionary has one, reals without
    // trailing zeros, booleans as TRUE/FALSE.
    std::string text(TW_UINT16 itemType, TW_UINT32 word) const;
    // A value argument as a one-value item of this type: a name (any case),
    // a real for TWTY_FIX32, or an integer. False when it is none of them.
    bool item(const std::string& argument, TW_UINT16 itemType, TW_UINT32* word) const;

private:
    std::vector<std::pair<std::string, long>> names_;
};

// A whole container: "TWPT_RGB", "TWSX_NATIVE (current, default), TWSX_MEMORY",
// "[1, 2]", "1 to 100 step 2"; "(no container)" without a block.
std::string containerText(const TW_CAPABILITY& cap, const ValueNames& names);

// The item type of the container's items; false without a readable block.
bool containerItemType(const TW_CAPABILITY& cap, TW_UINT16* itemType);

}  // namespace pxcm
