// cap_names.h — names of capabilities, item types and container types.
#pragma once

#include <string>

namespace pxcm {

// "ICAP_PIXELTYPE"; the number in decimal for one without a name.
std::string capabilityName(unsigned number);
std::string itemTypeName(unsigned number);
std::string containerName(unsigned number);

// The TWQC_ names of a MSG_QUERYSUPPORT answer, separated by blanks, with
// any unnamed bits in hex; "none" for no flags.
std::string supportFlagsText(unsigned flags);

// A capability by name (any case) or by number (decimal or 0x hex).
bool capabilityNumber(const std::string& text, unsigned* number);

}  // namespace pxcm
