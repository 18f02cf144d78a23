// capability_limits.h — how much of the settings files one capability
// request reads. Wide enough that a list of every 1.x capability by name
// (CAP_SUPPORTEDCAPS) fits whole; every buffer below is sized from these.
#pragma once

#include <cstddef>

// A value text ("Allowed", "Current", "Default", "PowerON"), without its NUL.
constexpr std::size_t VALUE_TEXT_MAX = 4095;
// Items of one list (array or enumeration), read or set.
constexpr std::size_t LIST_ITEMS_MAX = 256;
// A symbolic value name, without its NUL.
constexpr std::size_t NAME_MAX_CHARS = 29;
// A container key ("Get", "Set", "Reset", ...) and the "Type" key.
constexpr std::size_t KEY_TEXT_MAX = 255;
// A capability section of the dictionary, read whole.
constexpr std::size_t DICTIONARY_SECTION_BYTES = 16384;
// A capability's section name in "CAP NUMBERS".
constexpr std::size_t SECTION_NAME_MAX = 79;
// The last-set key.
constexpr std::size_t LAST_SET_KEY_MAX = 49;
