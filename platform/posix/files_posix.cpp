// files_posix.cpp — files and well-known directories on POSIX: drive c: is
// $PXCM_ROOT, the Windows directory lies under it, Windows paths are mapped.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace plat {
namespace {

std::string envOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withoutTrailingSlashes(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// Drive c:, read from the environment at every call so that a change takes
// effect at once.
std::string rootDirectory() {
    std::string root = envOrEmpty("PXCM_ROOT");
    if (!root.empty()) return withoutTrailingSlashes(root);
    std::string data = envOrEmpty("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/') return withoutTrailingSlashes(data) + "/pxcm";
    std::string home = envOrEmpty("HOME");
    if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir ? pw->pw_dir : "";
    }
    if (home.empty()) home = "/tmp";
    return withoutTrailingSlashes(home) + "/.local/share/pxcm";
}

bool isDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void appendWithSlashes(std::string& out, const char* p) {
    for (; *p; ++p) out += *p == '\\' ? '/' : *p;
}

int openNative(const char* path, int flags, mode_t mode = 0) {
    std::string native = nativePath(path);
    if (native.empty()) {
        errno = ENOENT;
        return -1;
    }
    int fd;
    do fd = ::open(native.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Windows names are case-blind: below the root, a name that does not exist
// as written takes the spelling that the disk has ("C:\WINDOWS\PXCM.src"
// finds windows/PXCM.src). Names not found at all stay as written.
std::string resolveUnderRoot(const std::string& root, const char* rest) {
    std::string exact = root;
    if (*rest) {
        if (exact.back() != '/') exact += '/';
        appendWithSlashes(exact, rest);
    }
    if (!*rest || ::access(exact.c_str(), F_OK) == 0) return exact;

    std::string out = root;
    bool searching = true;
    const char* p = rest;
    while (*p) {
        const char* e = p;
        while (*e && *e != '\\' && *e != '/') ++e;
        std::string name(p, static_cast<std::size_t>(e - p));
        p = e;
        while (*p == '\\' || *p == '/') ++p;
        if (name.empty()) continue;
        if (out.back() != '/') out += '/';
        if (searching && name != "." && name != "..") {
            std::string candidate = out + name;
            struct stat st;
            if (::lstat(candidate.c_str(), &st) != 0) {
                searching = false;
                if (DIR* dir = ::opendir(out.c_str())) {
                    while (const dirent* d = ::readdir(dir)) {
                        if (::strcasecmp(d->d_name, name.c_str()) == 0) {
                            name = d->d_name;
                            searching = true;
                            break;
                        }
                    }
                    ::closedir(dir);
                }
            }
        }
        out += name;
    }
    if (*rest && (rest[std::strlen(rest) - 1] == '\\' || rest[std::strlen(rest) - 1] == '/'))
        out += '/';
    return out;
}

}  // namespace

std::string nativePath(const char* path) {
    if (!path || !*path) return {};
    if (path[0] == '/') {
        std::string out;
        appendWithSlashes(out, path);
        return out;
    }
    if (isDriveLetter(path[0]) && path[1] == ':') {
        // Every drive is c: here; "c:", "c:\x" and "c:x" all start at the root.
        const char* rest = path + 2;
        while (*rest == '\\' || *rest == '/') ++rest;
        return resolveUnderRoot(rootDirectory(), rest);
    }
    if (path[0] == '\\') {
        // Rooted on the current drive, which is c:.
        const char* rest = path;
        while (*rest == '\\' || *rest == '/') ++rest;
        return resolveUnderRoot(rootDirectory(), rest);
    }
    std::string out;
    appendWithSlashes(out, path);
    return out;
}

std::string windowsDirectory() {
    std::string root = rootDirectory();
    return root == "/" ? "/windows" : root + "/windows";
}

std::string tempDirectory() {
    std::string tmp = envOrEmpty("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    if (tmp.back() != '/') tmp += '/';
    return tmp;
}

bool fileExists(const char* path) {
    std::string native = nativePath(path);
    struct stat st;
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool isSettingsFile(const char* path) {
    std::string native = nativePath(path);
    struct stat st;
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<unsigned long long>(st.st_size) <= SETTINGS_FILE_MAX;
}

bool fileCreateEmpty(const char* path) {
    int fd = openNative(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == EEXIST && fileExists(path);
}

bool fileCopyIfMissing(const char* from, const char* to) {
    const std::string target = nativePath(to);
    if (target.empty()) return false;
    int in = openNative(from, O_RDONLY);
    if (in < 0) return false;
    struct stat st;
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
    // O_EXCL: a file that is there, or that another process makes first, wins.
    int out = openNative(to, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = ::write(out, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0)
                ok = false;
            else
                done += w;
        }
        if (!ok) break;
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) ::unlink(target.c_str());
    return ok;
}

bool fileDelete(const char* path) {
    std::string native = nativePath(path);
    return !native.empty() && ::unlink(native.c_str()) == 0;
}

bool fileReadHead(const char* path, char* out, std::size_t max, std::size_t* got) {
    if (got) *got = 0;
    // Non-blocking: opening a FIFO for reading would wait for a writer.
    int fd = openNative(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::size_t total = 0;
    bool ok = true;
    while (total < max) {
        ssize_t n = ::read(fd, out + total, max - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got) *got = ok ? total : 0;
    return ok;
}

}  // namespace plat
