// png_file_posix.cpp — PNG files through libpng.
#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace plat {
namespace {

struct PngFailure {
    char message[200];
    // The errno of a failed write: libpng itself only says "Write Error".
    int writeErrno;
};

void onError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s",
                  failure->writeErrno ? std::strerror(failure->writeErrno) : message);
    png_longjmp(png, 1);
}

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, file) != length) {
        static_cast<PngFailure*>(png_get_error_ptr(png))->writeErrno = errno ? errno : EIO;
        png_error(png, "Write Error");
    }
}

void flushData(png_structp png) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fflush(file) != 0) {
        static_cast<PngFailure*>(png_get_error_ptr(png))->writeErrno = errno ? errno : EIO;
        png_error(png, "Write Error");
    }
}

void onWarning(png_structp, png_const_charp) {}

// No C++ object with a destructor lives in this frame: libpng's errors
// longjmp back into it.
bool writeRows(std::FILE* file, int width, int height, png_bytepp rows, bool bgr,
               PngFailure* failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, onError, onWarning);
    if (!png) {
        std::snprintf(failure->message, sizeof failure->message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(failure->message, sizeof failure->message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, file, writeData, flushData);
    // Pictures are written once and often: speed over the last few bytes.
    png_set_compression_level(png, 3);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (bgr) png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::uint8_t* firstRow,
              std::ptrdiff_t stride, bool bgr, std::string* error) {
    if (width <= 0 || height <= 0 || !firstRow) {
        if (error) *error = "no picture to write";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(firstRow + y * stride);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    PngFailure failure{};
    bool ok = writeRows(file, width, height, rows.data(), bgr, &failure);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
    }
    if (!ok) {
        // Only a file of our own making goes: a device such as /dev/full
        // that refused the bytes must stay.
        std::error_code ec;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
            std::remove(path.c_str());
        if (error) *error = "cannot write " + path + ": " + failure.message;
    }
    return ok;
}

}  // namespace plat
