// link_result.h — the result codes of every camera-link operation.
#pragma once

#include <cstdint>

// Callers compare with LINK_OK and treat every other value as failure.
using LinkResult = int32_t;

constexpr LinkResult LINK_OK = 7770;
constexpr LinkResult LINK_NO_ANSWER = 7771;
constexpr LinkResult LINK_BAD_REPLY = 7772;
constexpr LinkResult LINK_BLOCK_FAILED = 7773;
constexpr LinkResult LINK_BAD_INFO = 7775;
constexpr LinkResult LINK_NO_MEMORY = 7776;
constexpr LinkResult LINK_TOO_BIG = 7778;
// Another program holds the port.
constexpr LinkResult LINK_BUSY = 7779;
// The port does not exist or cannot be opened.
constexpr LinkResult LINK_NO_PORT = 7780;
// A cancel cut the operation short.
constexpr LinkResult LINK_CANCELLED = 7781;
// The picture came whole but its JPEG does not decode cleanly, after every
// try: the line damaged it.
constexpr LinkResult LINK_DAMAGED = 7782;

// "LINK_OK", ..., or "LINK_UNKNOWN" for a code without a name.
const char* linkResultName(LinkResult code);
