// settings_files.cpp — the two settings files: locating the source-control
// file, and the profile reads and writes made on both.
#include "caps/settings_files.h"

#include <cstring>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/prompt.h"
#include "source/source_state.h"

namespace {

// The pointer file, then the path already known, then the default file.
bool findSourceControl() {
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
        return true;
    }
    if (path[0] != '\0') return true;

    const std::string fallback = windows + DEFAULT_SOURCE_CONTROL_NAME;
    if (fallback.size() < SOURCE_CONTROL_PATH_MAX && plat::fileExists(fallback.c_str())) {
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
    if (g_source.sourceControlPath[0] == '\0') findSourceControl();
    return g_source.sourceControlPath;
}

namespace caps {
namespace {

// One section as the profile functions list it: "key=value" strings, each
// ended by a NUL. Incomplete when it did not fit the largest buffer; its
// keys are then read one by one.
struct SectionText {
    std::string file;
    std::string section;
    std::string lines;
    bool complete = false;
};

// A file as one request reads it: once, however many of its sections it needs.
struct FileRead {
    std::string file;
    plat::ProfileSnapshot snapshot;
    explicit FileRead(const char* f) : file(f), snapshot(f) {}
};

struct RequestReads {
    int depth = 0;
    std::list<SectionText> sections;
    std::list<FileRead> files;
    std::string dictionary;
};

RequestReads g_reads;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

constexpr unsigned long SECTION_BUFFERS[] = {16384, 262144};

// The section of a request, or null to read straight from the file: outside
// a request, and for a key that starts like a comment (section lists leave
// comment lines out, key reads do not).
const plat::ProfileSnapshot& fileRead(const char* file) {
    for (const FileRead& f : g_reads.files)
        if (f.file == file) return f.snapshot;
    return g_reads.files.emplace_back(file).snapshot;
}

const SectionText* sectionText(const char* file, const char* section, const char* key = "") {
    if (g_reads.depth == 0 || !file || !section) return nullptr;
    if (key && trim(key).substr(0, 1) == ";") return nullptr;
    for (const SectionText& s : g_reads.sections)
        if (s.file == file && s.section == section) return &s;
    SectionText s;
    s.file = file;
    s.section = section;
    const plat::ProfileSnapshot& snapshot = fileRead(file);
    for (unsigned long size : SECTION_BUFFERS) {
        std::unique_ptr<char[]> buf(new char[size]);
        unsigned long n = snapshot.getSection(section, buf.get(), size);
        if (n + 2 < size) {
            s.lines.assign(buf.get(), n);
            s.complete = true;
            break;
        }
    }
    g_reads.sections.push_back(std::move(s));
    return &g_reads.sections.back();
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// The value of a key as the text read gives it: one pair of matching
// surrounding quotes taken off. False when the key is missing or has no '='.
bool lookup(const SectionText& s, const char* key, std::string_view* value) {
    const std::string_view wanted = trim(key ? key : "");
    if (wanted.empty()) return false;
    for (std::size_t at = 0; at < s.lines.size();) {
        std::size_t end = s.lines.find('\0', at);
        if (end == std::string::npos) end = s.lines.size();
        std::string_view line(s.lines.data() + at, end - at);
        at = end + 1;
        std::size_t eq = line.find('=');
        if (!sameName(trim(line.substr(0, eq)), wanted)) continue;
        if (eq == std::string_view::npos) return false;
        std::string_view v = trim(line.substr(eq + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        *value = v;
        return true;
    }
    return false;
}

unsigned long copyTruncated(std::string_view text, char* out, unsigned long size) {
    if (!out || size == 0) return 0;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<unsigned long>(n);
}

// Blanks, a sign and digits, as the integer read takes them.
unsigned int profileNumber(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size() && isBlank(v[i])) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    unsigned int n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
        n = n * 10u + static_cast<unsigned int>(v[i] - '0');
    return negative ? 0u - n : n;
}

}  // namespace

SettingsRequest::SettingsRequest() {
    ++g_reads.depth;
}

SettingsRequest::~SettingsRequest() {
    if (--g_reads.depth == 0) {
        g_reads.sections.clear();
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
    return g_source.sourceControlPath;
}

unsigned long readText(const char* file, const char* section, const char* key, const char* def,
                       char* out, unsigned long size) {
    const SectionText* s = sectionText(file, section, key);
    if (!s || !s->complete || !key)
        return plat::profileGetString(section, key, def, out, size, file);
    std::string_view value;
    if (lookup(*s, key, &value)) return copyTruncated(value, out, size);
    std::string_view d = def ? def : "";
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    return copyTruncated(d, out, size);
}

std::string readText(const char* file, const char* section, const char* key, const char* def,
                     std::size_t maxChars) {
    std::vector<char> buf(maxChars + 1);
    unsigned long n =
        readText(file, section, key, def, buf.data(), static_cast<unsigned long>(buf.size()));
    return std::string(buf.data(), n);
}

unsigned int readNumber(const char* file, const char* section, const char* key, int def) {
    const SectionText* s = sectionText(file, section, key);
    if (!s || !s->complete || !key) return plat::profileGetInt(section, key, def, file);
    std::string_view value;
    if (!lookup(*s, key, &value) || value.empty()) return static_cast<unsigned int>(def);
    return profileNumber(value);
}

unsigned long readSection(const char* file, const char* section, char* out, unsigned long size) {
    const SectionText* s = sectionText(file, section);
    if (!s || !s->complete || !out || size < 2)
        return plat::profileGetSection(section, out, size, file);
    // As the profile functions fill a list: cut to fit, ended by two NULs.
    std::size_t n = s->lines.size() + 2 <= size ? s->lines.size() : size - 2;
    std::memcpy(out, s->lines.data(), n);
    out[n] = '\0';
    out[n + 1] = '\0';
    return static_cast<unsigned long>(n);
}

void writeText(const char* file, const char* section, const char* key, const char* value) {
    // A failed write leaves the old value; nobody is told.
    (void)plat::profileWriteString(section, key, value, file);
    if (g_reads.depth == 0 || !file) return;
    g_reads.sections.remove_if([file](const SectionText& s) { return s.file == file; });
    g_reads.files.remove_if([file](const FileRead& f) { return f.file == file; });
}

unsigned int dictionaryNumber(const char* section, const std::string& name) {
    if (name.empty()) return UNKNOWN_NUMBER;
    return readNumber(dictionaryPath().c_str(), section, name.c_str(),
                      static_cast<int>(UNKNOWN_NUMBER));
}

}  // namespace caps
