// memory_limits.cpp — the "Setup Memory Transfer" section.
#include "source/memory_limits.h"

#include "caps/settings_files.h"
#include "platform/profile.h"

MemoryLimits readMemoryLimits() {
    MemoryLimits limits;
    const char* file = sourceControlPathInUse();
    if (!*file) return limits;
    limits.min = plat::profileGetInt(SETUP_MEMORY_SECTION, "Min", DEFAULT_MIN_BUFFER, file);
    limits.max = plat::profileGetInt(SETUP_MEMORY_SECTION, "Max", DEFAULT_MAX_BUFFER, file);
    limits.preferred =
        plat::profileGetInt(SETUP_MEMORY_SECTION, "Preferred", DEFAULT_PREFERRED_BUFFER, file);
    return limits;
}
