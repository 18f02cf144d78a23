// ini_lines.h — the INI text model behind the POSIX profile functions: a
// line scanner that allocates nothing, the lookups, and the one-key edit.
// Pure text in, text out; the file I/O lives in profile_posix.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat::ini {

struct Line {
    enum class Kind { Blank, Section, Entry };
    Kind kind = Kind::Blank;
    // Section: the text between '[' and the last ']'. Entry: the key name,
    // trimmed (the whole trimmed line when it has no '=').
    std::string_view name;
    // Entry with '=': the value, trimmed of blanks (quotes kept).
    std::string_view value;
    bool hasValue = false;
    std::size_t begin = 0;       // first byte of the line
    std::size_t contentEnd = 0;  // end of the line without its line end (LF or CRLF)
    std::size_t end = 0;         // after the line end ('\n'), or the text's end
};

// Walks the lines of a text. A UTF-8 byte order mark at the start is skipped.
class Scanner {
public:
    explicit Scanner(std::string_view text);
    bool next(Line& line);
    // Moves on to the next line that starts (after blanks) with '[', so that
    // the lines of other sections cost one memchr instead of a parse.
    void skipToHeader();
    // Moves on to the header line of the next section named `name` (false
    // when there is none), without parsing the lines in between.
    bool skipToSection(std::string_view name);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Profile blanks: space, tab, CR, LF, VT, FF.
bool isBlank(char c);
std::string_view trim(std::string_view s);
// One pair of matching surrounding quotes (" or ') removed.
std::string_view unquote(std::string_view s);
// ASCII case-insensitive equality, as section and key names are matched.
bool sameName(std::string_view a, std::string_view b);
// A comment line (';' first), left out of key and section lists.
bool isComment(const Line& line);

// Where a key's value was found.
struct Found {
    bool section = false;  // the section exists
    bool key = false;      // the key exists (it may lack '=')
    bool hasValue = false;
    std::string_view value;  // trimmed, quotes kept
};

// The first section whose name matches, and the first key in it that matches.
Found findKey(std::string_view text, std::string_view section, std::string_view key);

// Calls fn(line) for every entry line of the first matching section; returns
// false when there is no such section. Lines before the first header form a
// section with an empty name.
template <typename Fn>
bool forEachEntry(std::string_view text, std::string_view section, Fn&& fn) {
    section = trim(section);
    Scanner scan(text);
    Line line;
    if (!section.empty()) {
        if (!scan.skipToSection(section)) return false;
        scan.next(line);
    }
    while (scan.next(line)) {
        if (line.kind == Line::Kind::Section) break;
        if (line.kind == Line::Kind::Entry) fn(line);
    }
    return true;
}

// Calls fn(name) for every section header.
template <typename Fn>
void forEachSection(std::string_view text, Fn&& fn) {
    Scanner scan(text);
    Line line;
    for (;;) {
        scan.skipToHeader();
        if (!scan.next(line)) break;
        if (line.kind == Line::Kind::Section) fn(line.name);
    }
}

// The line end that edits use: CRLF when the file's first line ends so or the
// text has no line end at all (new files), LF otherwise.
std::string_view lineEndOf(std::string_view text);

// The text after one WritePrivateProfileString-like edit: key == nullptr
// removes every section of that name; value == nullptr removes the key;
// otherwise the key's line is replaced in place, or the key is added at the
// end of the section, or the section is added at the end of the text. Every
// other byte is kept.
std::string edit(std::string_view text, std::string_view section, const char* key,
                 const char* value);

}  // namespace plat::ini
