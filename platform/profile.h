// profile.h — settings files in the Windows INI format, with the semantics
// of the Windows profile functions (GetPrivateProfileStringA and friends).
// Paths are Windows-style texts; on POSIX they are mapped by nativePath().
#pragma once

#include <cstddef>
#include <memory>

namespace plat {

// Copies the value (or `def` when the file, section or key is missing) into
// `out`, truncated to size - 1 characters; returns the characters copied.
unsigned long profileGetString(const char* section, const char* key, const char* def, char* out,
                               unsigned long size, const char* file);

// Optional blanks, a sign and decimal digits; stops at the first other
// character. `def` when the key is missing.
unsigned int profileGetInt(const char* section, const char* key, int def, const char* file);

// Every "key=value" line of the section, each followed by NUL, the list ended
// by a second NUL; truncated like Windows. Returns the characters copied
// (without the final NUL).
unsigned long profileGetSection(const char* section, char* out, unsigned long size,
                                const char* file);

// Replaces the key in place, or adds it (and the section); keeps every other
// line. Creates the file when needed. Atomic on POSIX (write beside, rename),
// where a file that is no regular file, or that would grow past
// SETTINGS_FILE_MAX (platform/files.h), is left alone and the write fails.
bool profileWriteString(const char* section, const char* key, const char* value, const char* file);

// Several keys of one section written as one change: all of them, or (false)
// none. POSIX edits the text once and replaces the file atomically; Windows
// writes key by key and puts back the keys already written when one fails.
struct ProfileEntry {
    const char* key;
    const char* value;
};
bool profileWriteStrings(const char* section, const ProfileEntry* entries, std::size_t count,
                         const char* file);

// One settings file for a burst of reads (one capability request): POSIX
// reads the file once, at construction, and answers every read from that
// text; Windows asks the profile functions at each call. Either way the
// answers are those of the profile functions above.
class ProfileSnapshot {
public:
    explicit ProfileSnapshot(const char* file);
    ~ProfileSnapshot();
    ProfileSnapshot(const ProfileSnapshot&) = delete;
    ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

    unsigned long getString(const char* section, const char* key, const char* def, char* out,
                            unsigned long size) const;
    unsigned int getInt(const char* section, const char* key, int def) const;
    unsigned long getSection(const char* section, char* out, unsigned long size) const;

private:
    struct Data;
    std::unique_ptr<Data> data_;
};

}  // namespace plat
