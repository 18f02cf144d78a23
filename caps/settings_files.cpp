// settings_files.cpp — the two settings files: locating the source-control
// file, and the profile reads and writes made on both.
#include "caps/settings_files.h"

#include <cstring>
#include <list>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/prompt.h"

SettingsFilesState g_settingsFiles;

void resetSettingsFilesState() {
    g_settingsFiles = SettingsFilesState{};
}

namespace {

// The path that the pointer file names. Editors end the line, and the path
// itself never holds a line end. A path that is empty, holds a NUL or does
// not fit the path buffer whole counts as no pointer: a cut path would name
// another file, and an empty one the profile functions' default file.
bool readPointer(const std::string& pointer, std::string* named) {
    // A line end or two beyond the longest path, and one byte to see more.
    char head[SOURCE_CONTROL_PATH_MAX + 3];
    std::size_t got = 0;
    if (!plat::fileReadHead(pointer.c_str(), head, sizeof head, &got)) return false;
    std::string_view text(head, got);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    if (text.empty() || text.size() > SOURCE_CONTROL_PATH_MAX - 1) return false;
    if (text.find('\0') != std::string_view::npos) return false;
    named->assign(text);
    return true;
}

// The pointer file, then the path already known, then the default file.
bool findSourceControl() {
    const std::string windows = plat::windowsDirectory();
    char* path = g_settingsFiles.sourceControlPath;

    const std::string pointer = windows + POINTER_FILE_NAME;
    std::string named;
    if (readPointer(pointer, &named)) {
        std::memset(path, 0, SOURCE_CONTROL_PATH_MAX);
        std::memcpy(path, named.data(), named.size());
        return true;
    }
    if (path[0] != '\0') return true;

    const std::string fallback = windows + DEFAULT_SOURCE_CONTROL_NAME;
    if (fallback.size() < SOURCE_CONTROL_PATH_MAX && plat::isSettingsFile(fallback.c_str())) {
        std::memcpy(path, fallback.c_str(), fallback.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

BOOL LocateSourceControl() {
    if (findSourceControl()) return TRUE;
    plat::messageBox(nullptr, NO_SOURCE_CONTROL_TEXT, nullptr, {});
    return FALSE;
}

const char* sourceControlPathInUse() {
    // Before the first capability request nothing has located the file yet:
    // look for it quietly, so that the pending-transfer count and the
    // memory-transfer limits come from the real settings.
    if (g_settingsFiles.sourceControlPath[0] == '\0') findSourceControl();
    return g_settingsFiles.sourceControlPath;
}

namespace caps {
namespace {

// A file as one request reads it: once, however many of its keys it needs.
struct FileRead {
    std::string file;
    plat::ProfileSnapshot snapshot;
    explicit FileRead(const char* f) : file(f), snapshot(f) {}
};

struct RequestReads {
    int depth = 0;
    std::list<FileRead> files;
    std::string dictionary;
};

RequestReads g_reads;

// The request's snapshot of a file; null outside a request.
const plat::ProfileSnapshot* snapshotOf(const char* file) {
    if (g_reads.depth == 0 || !file) return nullptr;
    for (const FileRead& f : g_reads.files)
        if (f.file == file) return &f.snapshot;
    return &g_reads.files.emplace_back(file).snapshot;
}

}  // namespace

SettingsRequest::SettingsRequest() {
    ++g_reads.depth;
}

SettingsRequest::~SettingsRequest() {
    if (--g_reads.depth == 0) {
        g_reads.files.clear();
        g_reads.dictionary.clear();
    }
}

std::string dictionaryPath() {
    if (g_reads.depth == 0) return plat::windowsDirectory() + DICTIONARY_FILE_NAME;
    if (g_reads.dictionary.empty())
        g_reads.dictionary = plat::windowsDirectory() + DICTIONARY_FILE_NAME;
    return g_reads.dictionary;
}

const char* sourceControlFile() {
    return g_settingsFiles.sourceControlPath;
}

unsigned long readText(const char* file, const char* section, const char* key, const char* def,
                       char* out, unsigned long size) {
    if (const plat::ProfileSnapshot* s = snapshotOf(file))
        return s->getString(section, key, def, out, size);
    return plat::profileGetString(section, key, def, out, size, file);
}

std::string readText(const char* file, const char* section, const char* key, const char* def,
                     std::size_t maxChars) {
    std::vector<char> buf(maxChars + 1);
    unsigned long n =
        readText(file, section, key, def, buf.data(), static_cast<unsigned long>(buf.size()));
    return std::string(buf.data(), n);
}

unsigned int readNumber(const char* file, const char* section, const char* key, int def) {
    if (const plat::ProfileSnapshot* s = snapshotOf(file)) return s->getInt(section, key, def);
    return plat::profileGetInt(section, key, def, file);
}

unsigned long readSection(const char* file, const char* section, char* out, unsigned long size) {
    if (const plat::ProfileSnapshot* s = snapshotOf(file)) return s->getSection(section, out, size);
    return plat::profileGetSection(section, out, size, file);
}

bool writeTexts(const char* file, const char* section, const plat::ProfileEntry* entries,
                std::size_t count) {
    const bool written = plat::profileWriteStrings(section, entries, count, file);
    if (g_reads.depth > 0 && file)
        g_reads.files.remove_if([file](const FileRead& f) { return f.file == file; });
    return written;
}

bool writeText(const char* file, const char* section, const char* key, const char* value) {
    const plat::ProfileEntry entry{key, value};
    return writeTexts(file, section, &entry, 1);
}

bool negotiationBoxesShown() {
    return readNumber(dictionaryPath().c_str(), SOURCE_SETTINGS_SECTION, NEGOTIATION_BOXES_KEY,
                      0) != 0;
}

unsigned int dictionaryNumber(const char* section, const std::string& name) {
    if (name.empty()) return UNKNOWN_NUMBER;
    return readNumber(dictionaryPath().c_str(), section, name.c_str(),
                      static_cast<int>(UNKNOWN_NUMBER));
}

}  // namespace caps
