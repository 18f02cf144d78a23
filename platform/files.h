// files.h — files and the well-known directories, in the Windows path form
// that the source uses ("c:\camds.log", windowsDirectory() + "\pxcm.ini").
// POSIX maps them: drive c: is $PXCM_ROOT (default ~/.local/share/pxcm), the
// Windows directory is $PXCM_ROOT/windows, backslashes become slashes, and a
// text that starts with '/' is already a POSIX path.
#pragma once

#include <cstddef>
#include <string>

namespace plat {

// Settings files (the dictionary, the pointer file, the source-control file)
// are regular files of at most this size; anything else, a FIFO, a device, a
// huge file, counts as missing when read and is never written over.
constexpr std::size_t SETTINGS_FILE_MAX = 1024 * 1024;

bool fileExists(const char* path);
// A regular file (no folder, FIFO or device) of at most SETTINGS_FILE_MAX
// bytes.
bool isSettingsFile(const char* path);
// Creates an empty file (truncating nothing that exists: an existing file is
// left alone and counts as success).
bool fileCreateEmpty(const char* path);
bool fileDelete(const char* path);
// Reads up to `max` bytes from the start of a regular file; false when it
// cannot be opened for reading or is no regular file.
bool fileReadHead(const char* path, char* out, std::size_t max, std::size_t* got);

// Copies `from` to `to` unless `to` exists: never overwrites, not even a
// file that appears meanwhile; creates the folder of `to` where it lacks.
// True when it made `to`; a copy that fails on the way leaves no `to`.
bool fileCopyIfMissing(const char* from, const char* to);

// The Windows directory, without a trailing separator.
std::string windowsDirectory();
// The temporary directory, with a trailing separator.
std::string tempDirectory();

// The path as the operating system takes it (identity on Windows).
std::string nativePath(const char* path);

}  // namespace plat
