// picture_store.h — the camera's pictures as files of one folder: NAME.jpg
// with its thumbnail NAME.thumb.jpg, numbered by name order.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace pxcmcam {

using Bytes = std::vector<std::uint8_t>;

struct StoredPicture {
    std::string name;           // "pic-0001.jpg"
    std::string picturePath;    // DIR/pic-0001.jpg
    std::string thumbnailPath;  // DIR/pic-0001.thumb.jpg, which may be absent
};

// One picture read whole: both files and the picture's date.
struct LoadedPicture {
    Bytes picture;
    Bytes thumbnail;  // empty when the thumbnail file is absent
    std::time_t modified = 0;
};

class PictureStore {
public:
    explicit PictureStore(std::string dir);

    const std::string& dir() const { return dir_; }

    // The pictures as they are in the folder now, sorted by name.
    [[nodiscard]] std::vector<StoredPicture> list() const;
    [[nodiscard]] std::optional<LoadedPicture> load(const StoredPicture& p) const;
    // Deletes the picture and its thumbnail; the rest renumber by themselves.
    [[nodiscard]] bool remove(const StoredPicture& p) const;
    // Writes a new picture (and thumbnail) under a name that sorts last,
    // with `date` as its modification time.
    [[nodiscard]] bool add(const Bytes& picture, const Bytes& thumbnail, std::time_t date) const;

private:
    std::string dir_;
};

// The name for a picture that must sort after all `existing` names: the last
// name's trailing number counted up when that keeps its width, else the last
// name's stem with "_0001"; "pic-0001.jpg" in an empty folder.
[[nodiscard]] std::string nextPictureName(const std::vector<StoredPicture>& existing);

[[nodiscard]] std::optional<Bytes> readFileBytes(const std::string& path);
[[nodiscard]] bool writeFileBytes(const std::string& path, const Bytes& data);

// A private folder under $TMPDIR (or /tmp), removed with everything in it
// when this goes.
class TempFolder {
public:
    TempFolder() = default;
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] bool create(std::string& error);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace pxcmcam
