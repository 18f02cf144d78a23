// installed_defaults.h — where the installed copies of the default settings
// files (pxcm.ini, PXCM.src) are, found from the module that runs this code.
#pragma once

#include <string>

namespace plat {

// The folder of the installed defaults, without a trailing separator, in the
// path form of files.h; empty when the module's own file cannot be told.
// POSIX: <folder of the module>/../../../share/pxcm, as `cmake --install`
// lays it out (the module in lib/twain/pxcm/). Windows: the module's own
// folder, where the setup program puts them beside the source.
std::string installedDefaultsDirectory();

}  // namespace plat
