// memory_limits.cpp — the "Setup Memory Transfer" section.
#include "source/memory_limits.h"

#include "caps/settings_files.h"
#include "platform/profile.h"

namespace {

MemoryLimits readLimits(bool withPreferred) {
    MemoryLimits limits;
    const char* file = sourceControlPathInUse();
    if (!*file) return limits;
    // One read of the file for the keys of this request.
    const plat::ProfileSnapshot settings(file);
    limits.min = settings.getInt(SETUP_MEMORY_SECTION, "Min", DEFAULT_MIN_BUFFER);
    limits.max = settings.getInt(SETUP_MEMORY_SECTION, "Max", DEFAULT_MAX_BUFFER);
    if (withPreferred)
        limits.preferred =
            settings.getInt(SETUP_MEMORY_SECTION, "Preferred", DEFAULT_PREFERRED_BUFFER);
    return limits;
}

}  // namespace

MemoryLimits readMemoryLimits() {
    return readLimits(true);
}

MemoryLimits readStripLimits() {
    return readLimits(false);
}
