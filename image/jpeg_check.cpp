// jpeg_check.cpp — a silent decode that only counts libjpeg's complaints. It
// decodes at an eighth of the size: the entropy-coded data, where damage
// shows, is read whole all the same, and the rest costs next to nothing.
#include "image/jpeg_check.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct SilentErrors {
    jpeg_error_mgr pub;  // first member: libjpeg sees only this part
    std::jmp_buf exit;
    int complaints;
};

[[noreturn]] void leave(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<SilentErrors*>(cinfo->err)->exit, 1);
}

void countWarning(j_common_ptr cinfo, int level) {
    // Negative levels are warnings; the others only trace.
    if (level < 0) ++reinterpret_cast<SilentErrors*>(cinfo->err)->complaints;
}

void quiet(j_common_ptr) {}

bool decodeToTheEnd(jpeg_decompress_struct& cinfo, const std::uint8_t* data, std::size_t size) {
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.dct_method = JDCT_IFAST;
    cinfo.do_fancy_upsampling = FALSE;
    if (!jpeg_start_decompress(&cinfo)) return false;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height)
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) return false;
    // Reads on to the end-of-image marker: bytes left over show here.
    return jpeg_finish_decompress(&cinfo) != 0;
}

}  // namespace

bool jpegDecodesCleanly(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) return false;
    jpeg_decompress_struct cinfo;
    SilentErrors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = leave;
    errors.pub.emit_message = countWarning;
    errors.pub.output_message = quiet;
    errors.complaints = 0;
    jpeg_create_decompress(&cinfo);
    volatile bool whole = false;
    if (setjmp(errors.exit) == 0) whole = decodeToTheEnd(cinfo, data, size);
    jpeg_destroy_decompress(&cinfo);
    return whole && errors.complaints == 0;
}
