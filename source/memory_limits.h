// memory_limits.h — the memory-transfer buffer sizes of the source-control
// file, read afresh for every negotiation and every image.
#pragma once

#include <cstdint>

constexpr char SETUP_MEMORY_SECTION[] = "Setup Memory Transfer";
constexpr std::uint32_t DEFAULT_MIN_BUFFER = 512;
constexpr std::uint32_t DEFAULT_MAX_BUFFER = 2048;
constexpr std::uint32_t DEFAULT_PREFERRED_BUFFER = 1024;

struct MemoryLimits {
    std::uint32_t min = DEFAULT_MIN_BUFFER;
    std::uint32_t max = DEFAULT_MAX_BUFFER;
    std::uint32_t preferred = DEFAULT_PREFERRED_BUFFER;
};

// "Min", "Max" and "Preferred" of "Setup Memory Transfer"; the defaults for
// keys (or a file) that are missing.
[[nodiscard]] MemoryLimits readMemoryLimits();
// "Min" and "Max" only (what the strips of an image are checked against);
// `preferred` is the default.
[[nodiscard]] MemoryLimits readStripLimits();
