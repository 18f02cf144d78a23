// profile_win32.cpp — settings files through the Windows profile functions.
#include "platform/profile.h"

#include <windows.h>

#include <string>
#include <vector>

namespace plat {

unsigned long profileGetString(const char* section, const char* key, const char* def, char* out,
                               unsigned long size, const char* file) {
    return GetPrivateProfileStringA(section, key, def, out, size, file);
}

unsigned int profileGetInt(const char* section, const char* key, int def, const char* file) {
    return GetPrivateProfileIntA(section, key, def, file);
}

unsigned long profileGetSection(const char* section, char* out, unsigned long size,
                                const char* file) {
    return GetPrivateProfileSectionA(section, out, size, file);
}

bool profileWriteString(const char* section, const char* key, const char* value, const char* file) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool profileWriteStrings(const char* section, const ProfileEntry* entries, std::size_t count,
                         const char* file) {
    if (!section || (count > 0 && !entries)) return false;
    // What each key held before, to put back after a failed write. A key
    // that was not there reads as the marker, which no settings text holds.
    static const char MISSING[] = "\x01missing\x01";
    std::vector<std::string> before;
    std::vector<bool> existed;
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<char> buf(65536);
        GetPrivateProfileStringA(section, entries[i].key, MISSING, buf.data(),
                                 static_cast<DWORD>(buf.size()), file);
        before.emplace_back(buf.data());
        existed.push_back(before.back() != MISSING);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (WritePrivateProfileStringA(section, entries[i].key, entries[i].value, file)) continue;
        for (std::size_t j = i; j-- > 0;)
            (void)WritePrivateProfileStringA(section, entries[j].key,
                                             existed[j] ? before[j].c_str() : nullptr, file);
        return false;
    }
    return true;
}

struct ProfileSnapshot::Data {
    std::string file;
};

ProfileSnapshot::ProfileSnapshot(const char* file)
    : data_(std::make_unique<Data>(Data{file ? file : ""})) {}

ProfileSnapshot::~ProfileSnapshot() = default;

unsigned long ProfileSnapshot::getString(const char* section, const char* key, const char* def,
                                         char* out, unsigned long size) const {
    return GetPrivateProfileStringA(section, key, def, out, size, data_->file.c_str());
}

unsigned int ProfileSnapshot::getInt(const char* section, const char* key, int def) const {
    return GetPrivateProfileIntA(section, key, def, data_->file.c_str());
}

unsigned long ProfileSnapshot::getSection(const char* section, char* out,
                                          unsigned long size) const {
    return GetPrivateProfileSectionA(section, out, size, data_->file.c_str());
}

}  // namespace plat
