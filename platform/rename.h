// rename.h — putting a finished file in place under its final name, in the
// operating system's own path form.
#pragma once

#include <string>

namespace plat {

enum class RenameResult { Done, Exists, Failed };

// Renames `from` to `to` (both in one folder). Without `replace` an existing
// `to` is never replaced, not even one that appears meanwhile: Exists. On
// Failed, *error holds the system's reason.
RenameResult renameFile(const std::string& from, const std::string& to, bool replace,
                        std::string* error);

}  // namespace plat
