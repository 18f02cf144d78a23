// test_jpeg.cpp — test JPEGs through libjpeg's compressor and decompressor.
#include "support/test_jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <jpeglib.h>

namespace testsupport {

RawImage patternImage(int width, int height, int components, unsigned seed) {
    RawImage img;
    img.width = width;
    img.height = height;
    img.components = components;
    img.pixels.resize(static_cast<std::size_t>(width) * height * components);
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) & 15) - 8;
            for (int c = 0; c < components; ++c) {
                int v = (x * (3 + c) * 255 / (width + 1) + y * (5 - c) * 255 / (height + 1)) % 256;
                if (((x / 16) + (y / 16) + c) % 5 == 0) v = 255 - v;  // edges
                v += noise;
                img.pixels[(static_cast<std::size_t>(y) * width + x) * components + c] =
                    static_cast<std::uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    return img;
}

std::vector<std::uint8_t> encodeJpeg(const RawImage& image, const JpegOptions& options) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = image.components;
    cinfo.in_color_space = image.components == 1                   ? JCS_GRAYSCALE
                           : image.components == 2                 ? JCS_UNKNOWN
                           : options.cmyk || image.components == 4 ? JCS_CMYK
                                                                   : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (options.ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.chroma422) {
        cinfo.comp_info[0].h_samp_factor = 2;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    if (options.progressive) jpeg_simple_progression(&cinfo);
    cinfo.optimize_coding = options.optimize ? TRUE : FALSE;
    cinfo.restart_in_rows = options.restartRows;
    cinfo.JFIF_major_version = static_cast<UINT8>(options.jfifMajor);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * image.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + cinfo.next_scanline * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

RawImage referenceDecode(const std::vector<std::uint8_t>& jpeg) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    RawImage img;
    img.width = static_cast<int>(cinfo.output_width);
    img.height = static_cast<int>(cinfo.output_height);
    img.components = 3;
    img.pixels.resize(static_cast<std::size_t>(img.width) * img.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row =
            img.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * img.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return img;
}

std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testsupport
