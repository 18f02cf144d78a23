// settings_seed.h — a user's first settings: the installed defaults copied
// into the Windows directory where the user has none of their own.
#pragma once

#include <string>

namespace caps {

// For the dictionary (pxcm.ini), the default source-control file
// (PXCM.src) and the help page (KMT18V16.html, the user's copy in the
// folder Help) each: when the Windows directory lacks it and `defaultsDir`
// holds it, copies it there. A file that exists is never replaced; what
// cannot be copied stays missing, for the capability request to report.
// Returns how many files it copied.
int seedDefaultSettings(const std::string& defaultsDir);

}  // namespace caps
