// new_file_win32.cpp — CreateFile with CREATE_NEW.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/new_file.h"

namespace plat {

NewFile createNewFile(const std::string& path, std::FILE** file, std::string* error) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return NewFile::Exists;
        if (error) *error = "system error " + std::to_string(code);
        return NewFile::Failed;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        DeleteFileA(path.c_str());
        if (error) *error = "cannot open the new file";
        return NewFile::Failed;
    }
    *file = _fdopen(fd, "wb");
    if (*file) return NewFile::Made;
    if (error) *error = std::strerror(errno);
    _close(fd);
    DeleteFileA(path.c_str());
    return NewFile::Failed;
}

}  // namespace plat
