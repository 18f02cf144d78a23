// new_file.h — a file made new for writing, in the operating system's own
// path form: never one that had the name already, nor where a link points.
#pragma once

#include <cstdio>
#include <string>

namespace plat {

enum class NewFile { Made, Exists, Failed };

// Creates `path` (mode 0666 less the umask on POSIX) and opens it for binary
// writing in *file. Exists when anything has the name (a file, a folder, a
// link, even one that points nowhere): it is left as it is. Failed: the
// system's reason in *error.
NewFile createNewFile(const std::string& path, std::FILE** file, std::string* error);

}  // namespace plat
