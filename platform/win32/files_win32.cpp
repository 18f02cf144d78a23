// files_win32.cpp — files and well-known directories through kernel32;
// paths are the system's own.
#include "platform/files.h"

#include <windows.h>

namespace plat {

bool fileExists(const char* path) {
    if (!path || !*path) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isSettingsFile(const char* path) {
    if (!path || !*path) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
    return data.nFileSizeHigh == 0 && data.nFileSizeLow <= SETTINGS_FILE_MAX;
}

bool fileCreateEmpty(const char* path) {
    if (!path || !*path) return false;
    // OPEN_ALWAYS creates a missing file and leaves an existing one as it is.
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fileExists(path);
    CloseHandle(h);
    return true;
}

bool fileCopyIfMissing(const char* from, const char* to) {
    if (!from || !*from || !to || !*to) return false;
    const std::string target(to);
    const std::size_t slash = target.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0)
        CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
    // TRUE: an existing file is never replaced.
    return CopyFileA(from, to, TRUE) != FALSE;
}

bool fileDelete(const char* path) {
    return path && *path && DeleteFileA(path) != FALSE;
}

bool fileReadHead(const char* path, char* out, std::size_t max, std::size_t* got) {
    if (got) *got = 0;
    if (!path || !*path) return false;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    // Only files on a disk: not a pipe, a console or another device.
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return false;
    }
    std::size_t total = 0;
    bool ok = true;
    while (total < max) {
        DWORD chunk = max - total > 0x10000000 ? 0x10000000 : static_cast<DWORD>(max - total);
        DWORD n = 0;
        if (!ReadFile(h, out + total, chunk, &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0) break;
        total += n;
    }
    CloseHandle(h);
    if (got) *got = ok ? total : 0;
    return ok;
}

std::string windowsDirectory() {
    char buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return {};
    std::string dir(buf, n);
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    return dir;
}

std::string tempDirectory() {
    char buf[MAX_PATH + 2];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf) return "\\";
    std::string dir(buf, n);
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

std::string nativePath(const char* path) {
    return path ? std::string(path) : std::string();
}

}  // namespace plat
