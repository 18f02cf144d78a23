// jpeg_decoder.cpp — JPEG data to a packed 24-bit DIB with libjpeg, straight
// from memory, one scanline at a time.
#include "image/jpeg_decoder.h"

#include <climits>
#include <cstring>

#include "image/jpeg_error_manager.h"

// After jpeglib.h: the message codes.
#include <jerror.h>

namespace {

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The header fields that differ between pictures; the rest stay zero.
void writeHeader(std::uint8_t* h, std::uint32_t width, std::uint32_t height,
                 std::int32_t pelsPerMeter) {
    put32(h + 0, DIB_HEADER_SIZE);
    put32(h + 4, width);
    put32(h + 8, height);
    put16(h + 12, 1);
    put16(h + 14, 24);
    put32(h + 24, static_cast<std::uint32_t>(pelsPerMeter));
    put32(h + 28, static_cast<std::uint32_t>(pelsPerMeter));
}

// The white cell a failed thumbnail download shows.
plat::MemHandle blankPicture() {
    const std::size_t pixels = std::size_t{BLANK_PICTURE_WIDTH} * BLANK_PICTURE_HEIGHT * 3;
    plat::MemHandle h = plat::memAlloc(DIB_HEADER_SIZE + pixels, true);
    if (!h) return nullptr;
    auto* p = static_cast<std::uint8_t*>(plat::memLock(h));
    writeHeader(p, BLANK_PICTURE_WIDTH, BLANK_PICTURE_HEIGHT, 0);
    std::memset(p + DIB_HEADER_SIZE, 0xFF, pixels);
    plat::memUnlock(h);
    return h;
}

// Everything a decoding changes after its setjmp lives here, outside the
// frame that calls setjmp, so it keeps its value across the longjmp.
struct DecodeJob {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    bool created;
    plat::MemHandle handle;
    std::uint8_t* locked;
};

// Decodes into job->handle; false after a libjpeg error, damaged data, a
// refused size or a failed allocation (the caller frees job->handle).
// Holds no object with a destructor: libjpeg's errors longjmp back here.
bool runDecode(DecodeJob* job, const std::uint8_t* data, std::size_t size, int mode) {
    job->cinfo.err = initJpegErrorManager(&job->err);
    if (setjmp(job->err.exit)) {
        if (job->locked) plat::memUnlock(job->handle);
        job->locked = nullptr;
        if (job->created) jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    jpeg_create_decompress(&job->cinfo);
    job->created = true;
    jpeg_decompress_struct& cinfo = job->cinfo;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    (void)jpeg_read_header(&cinfo, TRUE);

    // Every picture comes out as RGB: grey ones as grey RGB. libjpeg converts
    // grey, YCbCr and RGB pictures; for any other (CMYK, YCCK, two
    // components) it refuses the conversion through the error exit, with its
    // message in the box, rather than leaving a black picture to pass as good.
    cinfo.out_color_space = JCS_RGB;
    if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
        cinfo.jpeg_color_space != JCS_RGB) {
        // The same refusal, before the output block is allocated.
        cinfo.err->msg_code = JERR_CONVERSION_NOTIMPL;
        (*cinfo.err->error_exit)(reinterpret_cast<j_common_ptr>(&cinfo));
    }

    const std::uint32_t width = cinfo.image_width;
    const std::uint32_t height = cinfo.image_height;
    if (width == 0 || height == 0 || width > DECODE_MAX_DIMENSION ||
        height > DECODE_MAX_DIMENSION) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t rowBytes = std::size_t{width} * 3;
    const std::size_t pixelBytes = rowBytes * height;
    job->handle = plat::memAlloc(DIB_HEADER_SIZE + pixelBytes, true);
    if (!job->handle) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    job->locked = static_cast<std::uint8_t*>(plat::memLock(job->handle));
    writeHeader(job->locked, width, height, DIB_PELS_PER_METER);
    std::uint8_t* pixelArea = job->locked + DIB_HEADER_SIZE;

    (void)jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width != width ||
        cinfo.output_height != height) {
        plat::memUnlock(job->handle);
        job->locked = nullptr;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        if (mode != DECODE_DISPLAY) {
            // A full-picture row is libjpeg's row unchanged: read it straight
            // into its place rather than through the row buffer.
            if (cinfo.output_scanline >= height) break;
            JSAMPROW place = pixelArea + cinfo.output_scanline * rowBytes;
            (void)jpeg_read_scanlines(&cinfo, &place, 1);
            continue;
        }
        (void)jpeg_read_scanlines(&cinfo, row, 1);
        const std::size_t line = cinfo.output_scanline;  // lines read so far, this one included
        if (line > height) break;
        copyPixelRow(row[0], width, pixelArea, height - line, true);
    }

    plat::memUnlock(job->handle);
    job->locked = nullptr;
    job->err.rowsComplete = true;
    if (cinfo.output_scanline < cinfo.output_height)
        jpeg_abort_decompress(&cinfo);
    else
        (void)jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

void copyPixelRow(const std::uint8_t* sourceRow, std::size_t pixelCount, std::uint8_t* pixelArea,
                  std::size_t rowIndex, bool swap) {
    std::uint8_t* out = pixelArea + rowIndex * pixelCount * 3;
    if (!swap) {
        std::memcpy(out, sourceRow, pixelCount * 3);
        return;
    }
    // Four pixels are three 32-bit words: reversing them word-wise is some
    // three times as fast as byte by byte (every BMP and PNG row goes here).
    // The shifts below read the words as the little-endian machines that
    // every build targets store them.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "words are little-endian");
    auto load = [](const std::uint8_t* p) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    };
    auto store = [](std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); };
    std::size_t i = 0;
    for (; i + 4 <= pixelCount; i += 4, sourceRow += 12, out += 12) {
        // r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3 -> b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3
        const std::uint32_t a = load(sourceRow), b = load(sourceRow + 4), c = load(sourceRow + 8);
        store(out, (a >> 16 & 0xFF) | (a & 0xFF00) | (a & 0xFF) << 16 | (b >> 8 & 0xFF) << 24);
        store(out + 4, (b & 0xFF) | (a >> 24) << 8 | (c & 0xFF) << 16 | (b & 0xFF000000));
        store(out + 8, (b >> 16 & 0xFF) | (c >> 24) << 8 | (c & 0xFF0000) | (c >> 8 & 0xFF) << 24);
    }
    for (; i < pixelCount; ++i, sourceRow += 3, out += 3) {
        out[0] = sourceRow[2];
        out[1] = sourceRow[1];
        out[2] = sourceRow[0];
    }
}

plat::MemHandle decodePicture(const std::uint8_t* data, std::size_t size, int mode) {
    if (size < DECODE_MIN_JPEG_SIZE) return blankPicture();
    // libjpeg's memory source counts in unsigned long (32 bits on Windows).
    if (!data || static_cast<unsigned long long>(size) > ULONG_MAX) return nullptr;
    DecodeJob job{};
    if (!runDecode(&job, data, size, mode)) {
        if (job.handle) plat::memFree(job.handle);
        return nullptr;
    }
    return job.handle;
}
