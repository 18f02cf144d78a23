// png_file_posix.cpp — PNG files through libpng, opened on the first PNG
// written: a process that writes none (a BMP decode, a source listing) loads
// neither it nor zlib.
#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/library.h"

namespace plat {
namespace {

// Every libpng function this file calls; a new call needs its name here.
// clang-format off
#define PXCM_PNG_FUNCTIONS(X) \
    X(png_create_info_struct) \
    X(png_create_write_struct) \
    X(png_destroy_write_struct) \
    X(png_error) \
    X(png_get_error_ptr) \
    X(png_get_io_ptr) \
    X(png_longjmp) \
    X(png_set_bgr) \
    X(png_set_compression_level) \
    X(png_set_filter) \
    X(png_set_IHDR) \
    X(png_set_longjmp_fn) \
    X(png_set_write_fn) \
    X(png_write_end) \
    X(png_write_image) \
    X(png_write_info)
// clang-format on

struct PngApi {
#define PXCM_PNG_MEMBER(name) decltype(&::name) name = nullptr;
    PXCM_PNG_FUNCTIONS(PXCM_PNG_MEMBER)
#undef PXCM_PNG_MEMBER
};

// The library of the headers built against: its structures must match.
static_assert(PNG_LIBPNG_VER_SONUM == 16, "built against another libpng than libpng16");
constexpr const char* kPngLibrary = "libpng16.so.16";

struct LoadedPng {
    Library library = Library::system(kPngLibrary);
    PngApi api;
    bool complete = false;
    std::string error;

    LoadedPng() {
        if (!library.loaded()) {
            error = "the PNG library is missing (" + Library::lastError() + ")";
            return;
        }
        SymbolBinder bind({&library});
#define PXCM_PNG_LOOKUP(name) bind(api.name, #name);
        PXCM_PNG_FUNCTIONS(PXCM_PNG_LOOKUP)
#undef PXCM_PNG_LOOKUP
        complete = bind.complete();
        if (!complete)
            error = std::string("the PNG library ") + kPngLibrary + " lacks " + bind.missing();
    }
};

LoadedPng& loadedPng() {
    static LoadedPng png;
    return png;
}

// The table once writePng has found it complete.
const PngApi& lib() {
    return loadedPng().api;
}

struct PngFailure {
    char message[200];
    // The errno of a failed write: libpng itself only says "Write Error".
    int writeErrno;
};

void onError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(lib().png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s",
                  failure->writeErrno ? std::strerror(failure->writeErrno) : message);
    lib().png_longjmp(png, 1);
}

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<std::FILE*>(lib().png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, file) != length) {
        static_cast<PngFailure*>(lib().png_get_error_ptr(png))->writeErrno = errno ? errno : EIO;
        lib().png_error(png, "Write Error");
    }
}

void flushData(png_structp png) {
    auto* file = static_cast<std::FILE*>(lib().png_get_io_ptr(png));
    if (std::fflush(file) != 0) {
        static_cast<PngFailure*>(lib().png_get_error_ptr(png))->writeErrno = errno ? errno : EIO;
        lib().png_error(png, "Write Error");
    }
}

void onWarning(png_structp, png_const_charp) {}

// No C++ object with a destructor lives in this frame: libpng's errors
// longjmp back into it.
bool writeRows(std::FILE* file, int width, int height, png_bytepp rows, bool bgr,
               PngFailure* failure) {
    png_structp png =
        lib().png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, onError, onWarning);
    if (!png) {
        std::snprintf(failure->message, sizeof failure->message, "out of memory");
        return false;
    }
    png_infop info = lib().png_create_info_struct(png);
    if (!info) {
        lib().png_destroy_write_struct(&png, nullptr);
        std::snprintf(failure->message, sizeof failure->message, "out of memory");
        return false;
    }
    if (setjmp(*lib().png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
        lib().png_destroy_write_struct(&png, &info);
        return false;
    }
    lib().png_set_write_fn(png, file, writeData, flushData);
    // Pictures are written once and often: speed over the last few bytes.
    lib().png_set_compression_level(png, 3);
    lib().png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    lib().png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                       8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                       PNG_FILTER_TYPE_DEFAULT);
    lib().png_write_info(png, info);
    if (bgr) lib().png_set_bgr(png);
    lib().png_write_image(png, rows);
    lib().png_write_end(png, info);
    lib().png_destroy_write_struct(&png, &info);
    return true;
}

// Why nothing can be written, before any file is touched; empty when it can.
std::string refusal(const std::string& name, int width, int height, const std::uint8_t* firstRow) {
    if (width <= 0 || height <= 0 || !firstRow) return "no picture to write";
    if (!loadedPng().complete) return "cannot write " + name + ": " + loadedPng().error;
    return "";
}

}  // namespace

bool writePng(std::FILE* file, const std::string& name, int width, int height,
              const std::uint8_t* firstRow, std::ptrdiff_t stride, bool bgr, std::string* error) {
    const std::string refused = refusal(name, width, height, firstRow);
    if (!refused.empty()) {
        std::fclose(file);
        if (error) *error = refused;
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(firstRow + y * stride);
    PngFailure failure{};
    bool ok = writeRows(file, width, height, rows.data(), bgr, &failure);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        std::snprintf(failure.message, sizeof failure.message, "%s", std::strerror(errno));
    }
    if (!ok && error) *error = "cannot write " + name + ": " + failure.message;
    return ok;
}

bool writePng(const std::string& path, int width, int height, const std::uint8_t* firstRow,
              std::ptrdiff_t stride, bool bgr, std::string* error) {
    const std::string refused = refusal(path, width, height, firstRow);
    if (!refused.empty()) {
        if (error) *error = refused;
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = writePng(file, path, width, height, firstRow, stride, bgr, error);
    // Only a file of our own making goes: a device such as /dev/full that
    // refused the bytes must stay.
    std::error_code ec;
    if (!ok && std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        std::remove(path.c_str());
    return ok;
}

}  // namespace plat
