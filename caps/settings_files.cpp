// settings_files.cpp — the two settings files: locating the source-control
// file, and the profile reads and writes made on both.
#include "caps/settings_files.h"

#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/prompt.h"
#include "source/source_state.h"

BOOL LocateSourceControl() {
    const std::string windows = plat::windowsDirectory();
    char* path = g_source.sourceControlPath;

    const std::string pointer = windows + POINTER_FILE_NAME;
    char head[SOURCE_CONTROL_PATH_MAX];
    std::size_t got = 0;
    if (plat::fileReadHead(pointer.c_str(), head, SOURCE_CONTROL_PATH_MAX - 1, &got)) {
        std::memset(path, 0, SOURCE_CONTROL_PATH_MAX);
        std::memcpy(path, head, got);
        // Editors end the line; the path itself never holds a line end.
        std::size_t n = std::strlen(path);
        while (n > 0 && (path[n - 1] == '\r' || path[n - 1] == '\n')) path[--n] = '\0';
        return TRUE;
    }
    if (path[0] != '\0') return TRUE;

    const std::string fallback = windows + DEFAULT_SOURCE_CONTROL_NAME;
    if (fallback.size() < SOURCE_CONTROL_PATH_MAX && plat::fileExists(fallback.c_str())) {
        std::memcpy(path, fallback.c_str(), fallback.size() + 1);
        return TRUE;
    }
    plat::messageBox(nullptr, NO_SOURCE_CONTROL_TEXT, nullptr, {});
    return FALSE;
}

namespace caps {

std::string dictionaryPath() { return plat::windowsDirectory() + DICTIONARY_FILE_NAME; }

const char* sourceControlFile() { return g_source.sourceControlPath; }

unsigned long readText(const char* file, const char* section, const char* key, const char* def,
                       char* out, unsigned long size) {
    return plat::profileGetString(section, key, def, out, size, file);
}

std::string readText(const char* file, const char* section, const char* key, const char* def,
                     std::size_t maxChars) {
    std::vector<char> buf(maxChars + 1);
    unsigned long n = readText(file, section, key, def, buf.data(),
                               static_cast<unsigned long>(buf.size()));
    return std::string(buf.data(), n);
}

unsigned int readNumber(const char* file, const char* section, const char* key, int def) {
    return plat::profileGetInt(section, key, def, file);
}

unsigned long readSection(const char* file, const char* section, char* out, unsigned long size) {
    return plat::profileGetSection(section, out, size, file);
}

void writeText(const char* file, const char* section, const char* key, const char* value) {
    // A failed write leaves the old value; nobody is told.
    (void)plat::profileWriteString(section, key, value, file);
}

unsigned int dictionaryNumber(const char* section, const std::string& name) {
    if (name.empty()) return UNKNOWN_NUMBER;
    return readNumber(dictionaryPath().c_str(), section, name.c_str(),
                      static_cast<int>(UNKNOWN_NUMBER));
}

}  // namespace caps
