// picture_store.cpp — the picture folder: listing, loading, deleting, adding.
#include "tools/pxcm-camera/picture_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pxcmcam {

namespace {

const std::string kPictureEnd = ".jpg";
const std::string kThumbnailEnd = ".thumb.jpg";

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string stemOf(const std::string& name) {
    return name.substr(0, name.size() - kPictureEnd.size());
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

PictureStore::PictureStore(std::string dir) : dir_(std::move(dir)) {}

std::vector<StoredPicture> PictureStore::list() const {
    std::vector<StoredPicture> pictures;
    DIR* d = ::opendir(dir_.c_str());
    if (!d) return pictures;
    while (dirent* entry = ::readdir(d)) {
        std::string name = entry->d_name;
        if (!endsWith(name, kPictureEnd) || endsWith(name, kThumbnailEnd) ||
            name.size() == kPictureEnd.size())
            continue;
        std::string path = dir_ + "/" + name;
        if (!isRegularFile(path)) continue;
        pictures.push_back({name, path, dir_ + "/" + stemOf(name) + kThumbnailEnd});
    }
    ::closedir(d);
    std::sort(pictures.begin(), pictures.end(),
              [](const StoredPicture& a, const StoredPicture& b) { return a.name < b.name; });
    return pictures;
}

std::optional<LoadedPicture> PictureStore::load(const StoredPicture& p) const {
    struct stat st {};
    if (::stat(p.picturePath.c_str(), &st) != 0) return std::nullopt;
    auto picture = readFileBytes(p.picturePath);
    if (!picture) return std::nullopt;
    LoadedPicture loaded;
    loaded.picture = std::move(*picture);
    loaded.modified = st.st_mtime;
    if (auto thumbnail = readFileBytes(p.thumbnailPath)) loaded.thumbnail = std::move(*thumbnail);
    return loaded;
}

bool PictureStore::remove(const StoredPicture& p) const {
    if (::unlink(p.picturePath.c_str()) != 0) return false;
    if (::unlink(p.thumbnailPath.c_str()) != 0 && errno != ENOENT) return false;
    return true;
}

bool PictureStore::add(const Bytes& picture, const Bytes& thumbnail, std::time_t date) const {
    std::string name = nextPictureName(list());
    std::string picturePath = dir_ + "/" + name;
    std::string thumbnailPath = dir_ + "/" + stemOf(name) + kThumbnailEnd;
    // The thumbnail first, so that a listing never meets the new picture
    // without it.
    if (!writeFileBytes(thumbnailPath, thumbnail)) return false;
    if (!writeFileBytes(picturePath, picture)) {
        ::unlink(thumbnailPath.c_str());
        return false;
    }
    struct timespec times[2] = {{date, 0}, {date, 0}};
    ::utimensat(AT_FDCWD, picturePath.c_str(), times, 0);
    ::utimensat(AT_FDCWD, thumbnailPath.c_str(), times, 0);
    return true;
}

std::string nextPictureName(const std::vector<StoredPicture>& existing) {
    if (existing.empty()) return "pic-0001.jpg";
    std::string stem = stemOf(existing.back().name);
    std::size_t digits = stem.size();
    while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9') --digits;
    std::string number = stem.substr(digits);
    if (!number.empty() && number.find_first_not_of('9') != std::string::npos) {
        // Counting up within the same width sorts after the old name.
        for (std::size_t i = number.size(); i-- > 0;) {
            if (number[i] == '9') {
                number[i] = '0';
            } else {
                ++number[i];
                break;
            }
        }
        return stem.substr(0, digits) + number + kPictureEnd;
    }
    // "_" sorts after ".", so STEM_0001.jpg follows STEM.jpg.
    return stem + "_0001" + kPictureEnd;
}

std::optional<Bytes> readFileBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    Bytes data;
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    return data;
}

bool writeFileBytes(const std::string& path, const Bytes& data) {
    std::string partial = path + ".part";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = std::rename(partial.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(partial.c_str());
    return ok;
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    if (DIR* d = ::opendir(path_.c_str())) {
        while (dirent* entry = ::readdir(d)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") ::unlink((path_ + "/" + name).c_str());
        }
        ::closedir(d);
    }
    ::rmdir(path_.c_str());
}

bool TempFolder::create(std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pxcm-camera-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) {
        error = "cannot create a temporary folder from " + pattern + ": " + std::strerror(errno);
        return false;
    }
    path_ = buffer.data();
    return true;
}

}  // namespace pxcmcam
