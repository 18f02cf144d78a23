// profile_win32.cpp — settings files through the Windows profile functions.
#include "platform/profile.h"

#include <windows.h>

#include <string>

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
