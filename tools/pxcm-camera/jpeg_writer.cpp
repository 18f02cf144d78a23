// jpeg_writer.cpp — libjpeg compression into a memory buffer; encoder errors
// come back as a failed result instead of ending the program.
#include "tools/pxcm-camera/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace pxcmcam {

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

void trapError(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    std::longjmp(trap->back, 1);
}

void quietMessage(j_common_ptr) {}

// Plain C state only between setjmp and longjmp: nothing here has a destructor.
bool compress(const RgbImage& image, int quality, unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct info;
    ErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = trapError;
    trap.manager.output_message = quietMessage;
    if (setjmp(trap.back)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> encodeJpeg(const RgbImage& image, int quality) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3)
        return std::nullopt;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = compress(image, quality, &buffer, &size);
    std::optional<std::vector<std::uint8_t>> result;
    if (ok && buffer) result.emplace(buffer, buffer + size);
    std::free(buffer);
    return result;
}

}  // namespace pxcmcam
