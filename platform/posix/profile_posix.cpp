// profile_posix.cpp — the Windows profile functions over INI files on POSIX:
// every call reads the file afresh (one read into a stack buffer, no
// allocation per line); a write replaces the file atomically.
#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/posix/ini_lines.h"

namespace plat {
namespace {

// A settings file's name as the profile functions take it: a bare file name
// lies in the Windows directory, as on Windows.
std::string profilePath(const char* file) {
    if (!file || !*file) file = "win.ini";
    if (!std::strpbrk(file, "/\\:")) return windowsDirectory() + "/" + file;
    return nativePath(file);
}

// The whole content of a file, read at once; small files stay on the stack.
class FileText {
public:
    explicit FileText(const std::string& path) { load(path); }
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    // False when the file cannot be opened (missing) or read.
    bool ok() const { return ok_; }
    // True when there is no such file (as opposed to one we cannot read).
    bool missing() const { return missing_; }
    std::string_view text() const { return {data_, size_}; }

private:
    void load(const std::string& path) {
        if (path.empty()) return;
        int fd;
        // Non-blocking, so that a FIFO in the file's place cannot hang a read.
        do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            missing_ = errno == ENOENT;
            return;
        }
        // Only regular files of a settings file's size: a FIFO or a device
        // could hang or never end, a huge file would cost its size at every
        // read. Neither is read nor written over.
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            static_cast<unsigned long long>(st.st_size) > SETTINGS_FILE_MAX) {
            ::close(fd);
            return;
        }
        char* buf = stack_;
        std::size_t cap = sizeof(stack_);
        std::size_t got = 0;
        for (;;) {
            ssize_t n = ::read(fd, buf + got, cap - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {  // a folder, or an I/O error
                ::close(fd);
                return;
            }
            got += static_cast<std::size_t>(n);
            // A file that grew past the limit while being read.
            if (got > SETTINGS_FILE_MAX) {
                ::close(fd);
                return;
            }
            // A regular file reads short only at its end: one read is the
            // common case for a settings file.
            if (n == 0 || got < cap) break;
            std::size_t bigger = cap * 4;
            std::unique_ptr<char[]> more(new (std::nothrow) char[bigger]);
            if (!more) {
                ::close(fd);
                return;
            }
            std::memcpy(more.get(), buf, got);
            heap_ = std::move(more);
            buf = heap_.get();
            cap = bigger;
        }
        ::close(fd);
        data_ = buf;
        size_ = got;
        ok_ = true;
    }

    char stack_[16384];
    std::unique_ptr<char[]> heap_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    bool ok_ = false;
    bool missing_ = false;
};

// Copies text into out, truncated to size - 1 characters and a NUL.
unsigned long copyTruncated(std::string_view text, char* out, unsigned long size) {
    if (!out || size == 0) return 0;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<unsigned long>(n);
}

// A list of NUL-terminated strings ended by a second NUL. When the buffer is
// too small the last string is cut and two NULs end the list, and the result
// is size - 2, as Windows does.
class ListWriter {
public:
    ListWriter(char* out, unsigned long size) : out_(out), size_(out ? size : 0) {}
    void append(std::string_view s) {
        for (char c : s) put(c);
    }
    void endItem() { put('\0'); }
    unsigned long finish() {
        if (size_ == 0) return 0;
        if (used_ + 1 <= size_) {
            out_[used_] = '\0';
            if (used_ + 2 <= size_) out_[used_ + 1] = '\0';
            return static_cast<unsigned long>(used_);
        }
        if (size_ == 1) {
            out_[0] = '\0';
            return 0;
        }
        out_[size_ - 2] = '\0';
        out_[size_ - 1] = '\0';
        return size_ - 2;
    }

private:
    void put(char c) {
        if (used_ < size_) out_[used_] = c;
        ++used_;
    }
    char* out_;
    unsigned long size_;
    std::size_t used_ = 0;
};

// The default of a text read loses its trailing blanks, as on Windows.
std::string_view defaultText(const char* def) {
    std::string_view d = def ? def : "";
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    return d;
}

std::atomic<unsigned> tempCounter{0};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Replaces the file by writing a sibling, flushing it and renaming it over
// the old one: a reader sees either the old or the new file, never half.
bool replaceFile(const std::string& path, std::string_view data) {
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);

    struct stat old;
    bool existed = ::stat(path.c_str(), &old) == 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(tempCounter.fetch_add(1));
        do fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    if (existed) {
        // Keep the old file's permissions and, where allowed, its owner.
        (void)::fchmod(fd, old.st_mode & 07777);
        if (::geteuid() == 0) (void)!::fchown(fd, old.st_uid, old.st_gid);
    }
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace

namespace {

// The reads over a file's text (text == nullptr: no file), shared by the
// profile functions and the snapshots so that both answer alike.
unsigned long stringFrom(const std::string_view* text, const char* section, const char* key,
                         const char* def, char* out, unsigned long size) {
    if (!out || size == 0) return 0;
    if (!section) {
        ListWriter list(out, size);
        if (text)
            ini::forEachSection(*text, [&](std::string_view name) {
                list.append(name);
                list.endItem();
            });
        return list.finish();
    }
    if (!key) {
        ListWriter list(out, size);
        if (text)
            ini::forEachEntry(*text, section, [&](const ini::Line& line) {
                if (line.name.empty() || ini::isComment(line)) return;
                list.append(line.name);
                list.endItem();
            });
        return list.finish();
    }
    std::string_view k = ini::trim(key);
    if (text && !k.empty()) {
        ini::Found found = ini::findKey(*text, section, k);
        if (found.key && found.hasValue) return copyTruncated(ini::unquote(found.value), out, size);
    }
    return copyTruncated(defaultText(def), out, size);
}

unsigned int intFrom(const std::string_view* text, const char* section, const char* key, int def) {
    if (!section || !key) return static_cast<unsigned int>(def);
    std::string_view k = ini::trim(key);
    if (!text || k.empty()) return static_cast<unsigned int>(def);
    ini::Found found = ini::findKey(*text, section, k);
    std::string_view v = found.key && found.hasValue ? ini::unquote(found.value) : "";
    // An empty value reads as missing, as the text read returns nothing.
    if (v.empty()) return static_cast<unsigned int>(def);

    std::size_t i = 0;
    while (i < v.size() && ini::isBlank(v[i])) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    unsigned int n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
        n = n * 10u + static_cast<unsigned int>(v[i] - '0');
    return negative ? 0u - n : n;
}

// The entry lines of one section, listed as profileGetSection lists them.
unsigned long sectionFrom(const std::string_view* text, const char* section, char* out,
                          unsigned long size) {
    if (!out || size == 0) return 0;
    ListWriter list(out, size);
    if (text && section)
        ini::forEachEntry(*text, section, [&](const ini::Line& line) {
            if (ini::isComment(line)) return;
            list.append(line.name);
            if (line.hasValue) {
                list.append("=");
                list.append(line.value);
            }
            list.endItem();
        });
    return list.finish();
}

// A file's text for the readers above: null when there is no file.
class FileView {
public:
    explicit FileView(const char* file) : file_(profilePath(file)) {
        if (file_.ok()) text_ = file_.text();
    }
    const std::string_view* text() const { return file_.ok() ? &text_ : nullptr; }

private:
    FileText file_;
    std::string_view text_;
};

}  // namespace

unsigned long profileGetString(const char* section, const char* key, const char* def, char* out,
                               unsigned long size, const char* file) {
    if (!out || size == 0) return 0;
    FileView f(file);
    return stringFrom(f.text(), section, key, def, out, size);
}

unsigned int profileGetInt(const char* section, const char* key, int def, const char* file) {
    if (!section || !key) return static_cast<unsigned int>(def);
    FileView f(file);
    return intFrom(f.text(), section, key, def);
}

unsigned long profileGetSection(const char* section, char* out, unsigned long size,
                                const char* file) {
    if (!out || size == 0) return 0;
    if (!section) return sectionFrom(nullptr, section, out, size);
    FileView f(file);
    return sectionFrom(f.text(), section, out, size);
}

struct ProfileSnapshot::Data {
    std::string text;
    std::string_view view;
    bool ok = false;
    const std::string_view* textOrNull() const { return ok ? &view : nullptr; }
};

ProfileSnapshot::ProfileSnapshot(const char* file) : data_(std::make_unique<Data>()) {
    FileText f(profilePath(file));
    data_->ok = f.ok();
    if (data_->ok) data_->text.assign(f.text());
    data_->view = data_->text;
}

ProfileSnapshot::~ProfileSnapshot() = default;

unsigned long ProfileSnapshot::getString(const char* section, const char* key, const char* def,
                                         char* out, unsigned long size) const {
    return stringFrom(data_->textOrNull(), section, key, def, out, size);
}

unsigned int ProfileSnapshot::getInt(const char* section, const char* key, int def) const {
    return intFrom(data_->textOrNull(), section, key, def);
}

unsigned long ProfileSnapshot::getSection(const char* section, char* out,
                                          unsigned long size) const {
    return sectionFrom(data_->textOrNull(), section, out, size);
}

bool profileWriteStrings(const char* section, const ProfileEntry* entries, std::size_t count,
                         const char* file) {
    if (!section || (count > 0 && !entries)) return false;
    std::string path = profilePath(file);
    if (path.empty()) return false;
    // Write through a symbolic link to its target instead of replacing it.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }

    std::string_view old;
    FileText f(path);
    if (f.ok()) {
        old = f.text();
    } else if (!f.missing()) {
        return false;  // there but unreadable: never overwrite what we cannot keep
    }
    std::string updated(old);
    for (std::size_t i = 0; i < count; ++i)
        updated = ini::edit(updated, section, entries[i].key, entries[i].value);
    // Deleting from a missing file, or a write that changes nothing.
    if (updated == old && (f.ok() || updated.empty())) return true;
    // A file grown past the limit would read as missing afterwards.
    if (updated.size() > SETTINGS_FILE_MAX) return false;
    return replaceFile(path, updated);
}

bool profileWriteString(const char* section, const char* key, const char* value, const char* file) {
    // All three null only asks Windows to flush its cache: nothing to do here.
    if (!section) return !key && !value;
    const ProfileEntry entry{key, value};
    return profileWriteStrings(section, &entry, 1, file);
}

}  // namespace plat
