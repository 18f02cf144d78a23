// program.h — facts about the running program.
#pragma once

#include <string>

namespace plat {

// The folder that holds the running executable, without a trailing separator.
std::string programDirectory();

// The path separator for paths that the application builds itself.
extern const char PATH_SEPARATOR;

}  // namespace plat
