// ini_lines.cpp — scanning, lookup and one-key edits of INI texts.
#include "platform/posix/ini_lines.h"

#include <cstring>

namespace plat::ini {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string_view unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x == y) continue;
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool isComment(const Line& line) {
    return line.kind == Line::Kind::Entry && !line.name.empty() && line.name.front() == ';';
}

Scanner::Scanner(std::string_view text) : text_(text) {
    if (text_.size() >= 3 && std::memcmp(text_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

bool Scanner::next(Line& line) {
    if (pos_ >= text_.size()) return false;
    const char* base = text_.data();
    const std::size_t size = text_.size();
    line.begin = pos_;
    const void* nl = std::memchr(base + pos_, '\n', size - pos_);
    line.end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) + 1 : size;
    line.contentEnd = nl ? line.end - 1 : size;
    if (line.contentEnd > line.begin && base[line.contentEnd - 1] == '\r') --line.contentEnd;
    pos_ = line.end;

    std::string_view content = trim(text_.substr(line.begin, line.contentEnd - line.begin));
    line.name = {};
    line.value = {};
    line.hasValue = false;
    if (content.empty()) {
        line.kind = Line::Kind::Blank;
        return true;
    }
    if (content.front() == '[') {
        std::size_t close = content.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = content.substr(1, close - 1);
            return true;
        }
        // A '[' without ']' is no header: it reads as an ordinary line.
    }
    line.kind = Line::Kind::Entry;
    std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) {
        line.name = content;
    } else {
        line.name = trim(content.substr(0, eq));
        line.value = trim(content.substr(eq + 1));
        line.hasValue = true;
    }
    return true;
}

void Scanner::skipToHeader() {
    const char* base = text_.data();
    const std::size_t size = text_.size();
    std::size_t p = pos_;
    while (p < size) {
        const void* hit = std::memchr(base + p, '[', size - p);
        if (!hit) break;
        std::size_t start = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        while (start > pos_ && base[start - 1] != '\n' && isBlank(base[start - 1])) --start;
        if (start == pos_ || base[start - 1] == '\n') {
            pos_ = start;
            return;
        }
        p = static_cast<std::size_t>(static_cast<const char*>(hit) - base) + 1;
    }
    pos_ = size;
}

bool Scanner::skipToSection(std::string_view name) {
    const char* base = text_.data();
    const std::size_t size = text_.size();
    for (;;) {
        skipToHeader();
        if (pos_ >= size) return false;
        std::size_t open = pos_;
        while (base[open] != '[') ++open;
        const std::size_t close = open + 1 + name.size();
        const void* nl = std::memchr(base + open, '\n', size - open);
        const std::size_t lineEnd =
            nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : size;
        // The name runs to the line's last ']': no other ']' may follow.
        if (close < lineEnd && base[close] == ']' &&
            sameName(text_.substr(open + 1, name.size()), name) &&
            !std::memchr(base + close + 1, ']', lineEnd - close - 1))
            return true;
        pos_ = nl ? lineEnd + 1 : size;
    }
}

Found findKey(std::string_view text, std::string_view section, std::string_view key) {
    Found f;
    section = trim(section);
    key = trim(key);
    Scanner scan(text);
    Line line;
    if (!section.empty()) {
        if (!scan.skipToSection(section)) return f;
        scan.next(line);
    }
    f.section = true;
    while (scan.next(line)) {
        if (line.kind == Line::Kind::Section) break;
        if (line.kind == Line::Kind::Entry && sameName(line.name, key)) {
            f.key = true;
            f.hasValue = line.hasValue;
            f.value = line.value;
            break;
        }
    }
    return f;
}

std::string_view lineEndOf(std::string_view text) {
    std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos || (nl > 0 && text[nl - 1] == '\r')) return "\r\n";
    return "\n";
}

namespace {

std::size_t bomSize(std::string_view text) {
    return text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}

// Where one section lies in the text.
struct SectionSpan {
    bool found = false;
    std::size_t bodyBegin = 0;     // after the header line (0 for the leading section)
    std::size_t lastEntryEnd = 0;  // end of the last non-blank line, or bodyBegin
    bool keyFound = false;
    Line key;  // the key's line when found
};

SectionSpan locate(std::string_view text, std::string_view section, std::string_view key) {
    SectionSpan s;
    Scanner scan(text);
    Line line;
    bool inside = section.empty();
    s.found = inside;
    if (inside) s.bodyBegin = s.lastEntryEnd = bomSize(text);
    while (scan.next(line)) {
        if (line.kind == Line::Kind::Section) {
            if (s.found && inside) break;
            inside = sameName(line.name, section);
            if (inside) {
                s.found = true;
                s.bodyBegin = s.lastEntryEnd = line.end;
            }
        } else if (inside && line.kind == Line::Kind::Entry) {
            s.lastEntryEnd = line.end;
            if (!s.keyFound && sameName(line.name, key)) {
                s.keyFound = true;
                s.key = line;
            }
        }
    }
    return s;
}

std::string removeSections(std::string_view text, std::string_view section) {
    std::string out;
    out.reserve(text.size());
    Scanner scan(text);
    Line line;
    bool drop = false;
    std::size_t keptFrom = 0;
    const std::size_t start = bomSize(text);
    out.append(text.substr(0, start));
    keptFrom = start;
    while (scan.next(line)) {
        if (line.kind == Line::Kind::Section) drop = sameName(line.name, section);
        if (drop) {
            out.append(text.substr(keptFrom, line.begin - keptFrom));
            keptFrom = line.end;
        }
    }
    out.append(text.substr(keptFrom));
    return out;
}

}  // namespace

std::string edit(std::string_view text, std::string_view section, const char* key,
                 const char* value) {
    section = trim(section);
    if (!key) return section.empty() ? std::string(text) : removeSections(text, section);
    std::string_view k = trim(key);
    const std::string_view eol = lineEndOf(text);
    SectionSpan s = locate(text, section, k);
    std::string out;
    out.reserve(text.size() + k.size() + (value ? std::strlen(value) : 0) + section.size() + 8);

    if (s.keyFound) {
        out.append(text.substr(0, s.key.begin));
        if (value) {
            // The file's spelling of the key stays; the line keeps its own end.
            out.append(s.key.name).append("=").append(value);
            out.append(text.substr(s.key.contentEnd));
        } else {
            out.append(text.substr(s.key.end));
        }
        return out;
    }
    if (!value) return std::string(text);

    if (s.found) {
        out.append(text.substr(0, s.lastEntryEnd));
        if (!out.empty() && out.back() != '\n') out.append(eol);
        out.append(k).append("=").append(value).append(eol);
        out.append(text.substr(s.lastEntryEnd));
        return out;
    }
    out.append(text);
    if (!out.empty() && out.back() != '\n') out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(k).append("=").append(value).append(eol);
    return out;
}

}  // namespace plat::ini
