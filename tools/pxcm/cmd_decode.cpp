// cmd_decode.cpp — `pxcm decode`: a JPEG file through the source's own
// decoder, written as BMP or PNG.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/jpeg_decoder.h"
#include "image/picture_file.h"
#include "platform/memory.h"
#include "platform/png_file.h"
#include "tools/common/arg_reader.h"
#include "tools/pxcm/app.h"
#include "ui/jpeg_error_box.h"

namespace {

bool endsWith(const std::string& s, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != suffix[i]) return false;
    }
    return true;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>* out, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // One read of the known size; a file that grows meanwhile is read on.
    long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    std::rewind(f);
    out->resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    std::size_t got = out->empty() ? 0 : std::fread(out->data(), 1, out->size(), f);
    out->resize(got);
    int c;
    while ((c = std::fgetc(f)) != EOF) out->push_back(static_cast<std::uint8_t>(c));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) *error = "cannot read " + path + ": " + std::strerror(errno);
    return !failed;
}

// Streams the BMP file in chunks of rows: no second copy of the picture.
bool writeBmpFile(const std::string& path, const PictureRows& rows, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    const std::size_t rowSize = bmpRowSize(rows);
    const int rowsPerChunk = static_cast<int>(std::max<std::size_t>(1, (32 * 1024) / rowSize));
    std::vector<std::uint8_t> chunk(BMP_HEADERS_SIZE +
                                    rowSize * static_cast<std::size_t>(rowsPerChunk));
    bmpHeaders(rows, chunk.data());
    bool ok = std::fwrite(chunk.data(), 1, BMP_HEADERS_SIZE, f) == BMP_HEADERS_SIZE;
    for (int k = 0; ok && k < rows.height; k += rowsPerChunk) {
        const int n = std::min(rowsPerChunk, rows.height - k);
        for (int i = 0; i < n; ++i)
            bmpRow(rows, k + i, chunk.data() + static_cast<std::size_t>(i) * rowSize);
        const std::size_t bytes = rowSize * static_cast<std::size_t>(n);
        ok = std::fwrite(chunk.data(), 1, bytes, f) == bytes;
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(path.c_str());
    }
    return ok;
}

int run(const pxcm::CommandContext&, const std::vector<std::string>& args) {
    std::string input, output;
    int mode = DECODE_FULL_PICTURE;
    tools::ArgReader reader(args, {{"--out", true}, {"-o", true}, {"--mode", true}});
    for (auto next = reader.next(); next != tools::ArgReader::Next::End; next = reader.next()) {
        const std::string& name = reader.name();
        if (next == tools::ArgReader::Next::MissingValue)
            return pxcm::fail(name +
                              (name == "--mode" ? " needs display or full" : " needs a file name"));
        if (next == tools::ArgReader::Next::Operand) {
            if (!input.empty()) return pxcm::fail("one input file only (see pxcm decode --help)");
            input = reader.arg();
        } else if (next != tools::ArgReader::Next::Option) {
            return pxcm::fail("unknown option " + reader.arg() + " (see pxcm decode --help)");
        } else if (name == "--mode") {
            if (reader.value() == "display")
                mode = DECODE_DISPLAY;
            else if (reader.value() == "full")
                mode = DECODE_FULL_PICTURE;
            else
                return pxcm::fail("unknown mode " + reader.value() + " (display or full)");
        } else {
            output = reader.value();
        }
    }
    if (input.empty()) return pxcm::fail("decode needs a JPEG file (see pxcm decode --help)");
    if (output.empty()) return pxcm::fail("decode needs --out FILE.bmp or FILE.png");
    const bool png = endsWith(output, ".png");
    if (!png && !endsWith(output, ".bmp"))
        return pxcm::fail("--out must name a .bmp or .png file: " + output);

    std::vector<std::uint8_t> jpeg;
    std::string error;
    if (!readFile(input, &jpeg, &error)) return pxcm::fail(error);

    // libjpeg's messages as the source shows them.
    setJpegMessageSink(showJpegErrorBox);
    plat::MemBlock picture(decodePicture(jpeg.data(), jpeg.size(), mode));
    if (!picture) return pxcm::fail("cannot decode " + input);
    plat::MemLock lock(picture.get());
    PictureRows rows;
    if (!lock || !pictureRows(lock.get(), plat::memSize(picture.get()), mode, &rows))
        return pxcm::fail("the decoder gave no picture for " + input);

    if (png) {
        if (!plat::writePng(output, rows.width, rows.height, rows.top, rows.stride, rows.bgr,
                            &error))
            return pxcm::fail(error);
    } else if (!writeBmpFile(output, rows, &error)) {
        return pxcm::fail(error);
    }
    return 0;
}

const pxcm::RegisterCommand reg{{
    "decode",
    "decode a JPEG file as the source does and write it as BMP or PNG",
    "usage: pxcm decode FILE.jpg --out FILE.bmp|FILE.png [--mode display|full]\n\n"
    "Decodes the JPEG file with the source's own decoder, as a camera picture\n"
    "(--mode full, the default: the layout that transfers hand to applications)\n"
    "or as a thumbnail (--mode display: the layout the camera window draws), and\n"
    "writes it as a 24-bit BMP file or, on Linux, a PNG file. Files shorter than\n"
    "236 bytes give the blank white 80 x 56 picture of a failed thumbnail. A\n"
    "picture that cannot be decoded shows libjpeg's message in a \"JPEG Error\"\n"
    "box (on Linux: on stderr, or in $PXCM_PROMPTS) and the command fails.\n",
    run,
}};

}  // namespace
