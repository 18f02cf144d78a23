// settings_install.h — puts the default settings files and the help page
// into the Windows directory when they are not there.
#pragma once

#include <string>

namespace pxcm {

// Writes the built-in pxcm.ini and PXCM.src into the Windows directory, and
// the help page as Help\KMT18V16.html there, where any is missing; existing
// files are left alone. False (with a message) when a file cannot be
// written.
bool installDefaultSettings(std::string* error = nullptr);

}  // namespace pxcm
