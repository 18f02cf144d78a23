// picture_output.cpp — PNG through the platform's writer, BMP in memory;
// both to a temporary name beside the final one, then renamed.
#include "tools/pxcm/picture_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/png_file.h"
#include "platform/rename.h"

namespace pxcm {
namespace {

// A name in the folder of `path` that no file has: hidden, marked as partial.
std::string temporaryBeside(const std::string& path) {
    const std::filesystem::path p(path);
    std::random_device random;
    std::error_code ec;
    for (;;) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
        const std::filesystem::path t =
            p.parent_path() / ("." + p.filename().string() + "." + tag + ".part");
        if (!std::filesystem::exists(t, ec)) return t.string();
    }
}

bool writeBmp(const std::string& path, const PictureRows& rows, std::string* error) {
    const std::vector<std::uint8_t> file = encodeBmp(rows);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    int reason = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok) {
        *error = std::strerror(reason);
        // Only a file of our own making goes, never a device in its place.
        std::error_code ec;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
            std::remove(path.c_str());
    }
    return ok;
}

}  // namespace

FileOutcome writePictureFile(const std::string& path, const PictureRows& rows, PictureFormat format,
                             bool replace, std::string* error) {
    const std::string partial = temporaryBeside(path);
    std::string reason;
    const bool written = format == PictureFormat::Png
                             ? plat::writePng(partial, rows.width, rows.height, rows.top,
                                              rows.stride, rows.bgr, &reason)
                             : writeBmp(partial, rows, &reason);
    if (!written) {
        // The reason names the file as the user knows it.
        for (std::size_t at = 0; (at = reason.find(partial, at)) != std::string::npos;
             at += path.size())
            reason.replace(at, partial.size(), path);
        *error = format == PictureFormat::Png ? reason : "cannot write " + path + ": " + reason;
        return FileOutcome::Failed;
    }
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    switch (plat::renameFile(partial, path, replace, &reason)) {
        case plat::RenameResult::Done:
            return existed && replace ? FileOutcome::Replaced : FileOutcome::Written;
        case plat::RenameResult::Exists:
            std::remove(partial.c_str());
            return FileOutcome::Exists;
        case plat::RenameResult::Failed:
            break;
    }
    std::remove(partial.c_str());
    *error = "cannot write " + path + ": " + reason;
    return FileOutcome::Failed;
}

bool folderTakesFiles(const std::string& folder, std::string* error) {
    const std::string probe = temporaryBeside((std::filesystem::path(folder) / "probe").string());
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) {
        *error = "cannot write in " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

}  // namespace pxcm
