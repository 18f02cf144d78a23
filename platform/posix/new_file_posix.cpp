// new_file_posix.cpp — open(2) with O_CREAT | O_EXCL | O_NOFOLLOW.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/new_file.h"

namespace plat {

NewFile createNewFile(const std::string& path, std::FILE** file, std::string* error) {
    int fd;
    do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == EEXIST) return NewFile::Exists;
        if (error) *error = std::strerror(errno);
        return NewFile::Failed;
    }
    *file = ::fdopen(fd, "wb");
    if (*file) return NewFile::Made;
    if (error) *error = std::strerror(errno);
    ::close(fd);
    ::unlink(path.c_str());
    return NewFile::Failed;
}

}  // namespace plat
