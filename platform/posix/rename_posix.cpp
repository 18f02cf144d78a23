// rename_posix.cpp — rename(2), or renameat2's RENAME_NOREPLACE (a hard link
// where the file system lacks it) when nothing may be replaced.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rename.h"

namespace plat {

RenameResult renameFile(const std::string& from, const std::string& to, bool replace,
                        std::string* error) {
    int rc = -1;
    if (replace) {
        rc = ::rename(from.c_str(), to.c_str());
    } else {
        rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            rc = ::link(from.c_str(), to.c_str());
            if (rc == 0) ::unlink(from.c_str());
        }
    }
    if (rc == 0) return RenameResult::Done;
    if (errno == EEXIST) return RenameResult::Exists;
    if (error) *error = std::strerror(errno);
    return RenameResult::Failed;
}

}  // namespace plat
