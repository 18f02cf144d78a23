// decode_fuzz.cpp — decodePicture on arbitrary downloads: no crash, no leak,
// and every picture it hands back is whole.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/dib.h"
#include "image/jpeg_decoder.h"
#include "platform/memory.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Boxes answer at once and are written nowhere.
    const char* prompts = std::getenv("PXCM_PROMPTS");
    if (!prompts || !*prompts) setenv("PXCM_PROMPTS", "/dev/null", 1);
    unsetenv("PXCM_ANSWERS");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int mode = size % 2 ? DECODE_DISPLAY : DECODE_FULL_PICTURE;
    plat::MemBlock picture(decodePicture(data, size, mode));
    if (!picture) return 0;
    DibHeader h;
    std::memcpy(&h, plat::memLock(picture.get()), sizeof h);
    plat::memUnlock(picture.get());
    const std::size_t pixels = std::size_t(h.biWidth) * 3 * std::size_t(h.biHeight);
    if (h.biSize != 40 || h.biBitCount != 24 || h.biWidth <= 0 || h.biHeight <= 0 ||
        std::uint32_t(h.biWidth) > DECODE_MAX_DIMENSION ||
        std::uint32_t(h.biHeight) > DECODE_MAX_DIMENSION ||
        plat::memSize(picture.get()) < DIB_HEADER_SIZE + pixels)
        std::abort();
    // Touch the last pixel byte: the sanitizer checks the block is that large.
    volatile std::uint8_t last = static_cast<const std::uint8_t*>(
        plat::memLock(picture.get()))[DIB_HEADER_SIZE + pixels - 1];
    (void)last;
    plat::memUnlock(picture.get());
    return 0;
}
