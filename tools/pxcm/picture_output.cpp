// picture_output.cpp — PNG through the platform's writer, BMP in memory;
// both to a temporary name beside the final one, then renamed.
#include "tools/pxcm/picture_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/new_file.h"
#include "platform/png_file.h"
#include "platform/rename.h"

namespace pxcm {
namespace {

// A new file in the folder of `path`, hidden and marked as partial, made by
// this call: a name that something has (a file, a link planted there) is
// left alone for another. Null with the system's reason.
std::FILE* createTemporaryBeside(const std::string& path, const TagSource& nextTag,
                                 std::string* name, std::string* error) {
    const std::filesystem::path p(path);
    for (int tries = 0; tries < 100; ++tries) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(nextTag()));
        *name = (p.parent_path() / ("." + p.filename().string() + "." + tag + ".part")).string();
        std::FILE* file = nullptr;
        switch (plat::createNewFile(*name, &file, error)) {
            case plat::NewFile::Made:
                return file;
            case plat::NewFile::Exists:
                continue;
            case plat::NewFile::Failed:
                return nullptr;
        }
    }
    *error = std::strerror(EEXIST);
    return nullptr;
}

// Writes and closes the file.
bool writeBmp(std::FILE* f, const PictureRows& rows, std::string* error) {
    const std::vector<std::uint8_t> file = encodeBmp(rows);
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    int reason = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok) *error = std::strerror(reason);
    return ok;
}

}  // namespace

std::uint32_t randomTag() {
    static std::random_device random;
    return random();
}

FileOutcome writePictureFile(const std::string& path, const PictureRows& rows, PictureFormat format,
                             bool replace, std::string* error, const TagSource& nextTag) {
    const bool png = format == PictureFormat::Png;
    std::string partial, reason;
    std::FILE* file = createTemporaryBeside(path, nextTag, &partial, &reason);
    if (!file) {
        *error = (png ? "cannot create " : "cannot write ") + path + ": " + reason;
        return FileOutcome::Failed;
    }
    const bool written = png ? plat::writePng(file, partial, rows.width, rows.height, rows.top,
                                              rows.stride, rows.bgr, &reason)
                             : writeBmp(file, rows, &reason);
    if (!written) {
        std::remove(partial.c_str());
        // The reason names the file as the user knows it.
        for (std::size_t at = 0; (at = reason.find(partial, at)) != std::string::npos;
             at += path.size())
            reason.replace(at, partial.size(), path);
        *error = png ? reason : "cannot write " + path + ": " + reason;
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
    std::string probe, reason;
    std::FILE* f = createTemporaryBeside((std::filesystem::path(folder) / "probe").string(),
                                         randomTag, &probe, &reason);
    if (!f) {
        *error = "cannot write in " + folder + ": " + reason;
        return false;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

}  // namespace pxcm
