// program.h — facts about the running program.
#pragma once

#include <string>

namespace plat {

// The folder that holds the running executable, without a trailing separator.
std::string programDirectory();

// Where an installation puts the source that this program loads: POSIX
// <program folder>/../lib/twain/pxcm/pxcmtwain.ds (`cmake --install`);
// Windows the Windows directory's twain_64 (twain_32 for a 32-bit program)
// \pxcm\pxcmtwain.ds (the setup program).
std::string installedSourcePath();

// The path separator for paths that the application builds itself.
extern const char PATH_SEPARATOR;

}  // namespace plat
