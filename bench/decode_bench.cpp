// decode_bench.cpp — decodePicture on a 640 x 480 camera-like JPEG (full
// picture and display layouts) and on a thumbnail.
//   decode_bench [benchmark flags]
//   decode_bench --write-sample=FILE   writes the 640 x 480 JPEG and exits
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/jpeg_decoder.h"
#include "platform/memory.h"
#include "support/test_jpeg.h"

namespace {

// A photograph as far as the codec is concerned: smooth shading, a few
// hard edges, fine texture and sensor noise; JFIF, 4:2:2, quality 75.
std::vector<std::uint8_t> cameraLikeJpeg(int width, int height) {
    testsupport::RawImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    std::vector<std::uint8_t>& rgb = image.pixels;
    unsigned noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const double fx = double(x) / width, fy = double(y) / height;
            double r = 120 + 90 * std::sin(fx * 5.0 + fy * 2.0);
            double g = 110 + 70 * std::cos(fy * 6.0 - fx);
            double b = 140 + 60 * std::sin((fx + fy) * 4.0);
            if ((x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) <
                (height / 5) * (height / 5)) {
                r = 230;
                g = 180 - 40 * fy;
                b = 60;  // a bright object
            }
            const double texture =
                12 * std::sin(x * 0.9) * std::cos(y * 0.7) + int((noise >> 16) % 9) - 4;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(std::fmin(255, std::fmax(0, r + texture)));
            p[1] = static_cast<std::uint8_t>(std::fmin(255, std::fmax(0, g + texture)));
            p[2] = static_cast<std::uint8_t>(std::fmin(255, std::fmax(0, b + texture)));
        }

    testsupport::JpegOptions options;
    options.quality = 75;
    options.chroma422 = true;
    return testsupport::encodeJpeg(image, options);
}

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> jpeg = cameraLikeJpeg(640, 480);
    return jpeg;
}

const std::vector<std::uint8_t>& thumbnail() {
    static const std::vector<std::uint8_t> jpeg = cameraLikeJpeg(80, 56);
    return jpeg;
}

void decodeLoop(benchmark::State& state, const std::vector<std::uint8_t>& jpeg, int mode) {
    for (auto _ : state) {
        plat::MemBlock block(decodePicture(jpeg.data(), jpeg.size(), mode));
        if (!block) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(block.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * jpeg.size()));
}

void BM_DecodeFullPicture640x480(benchmark::State& state) {
    decodeLoop(state, picture(), DECODE_FULL_PICTURE);
}
void BM_DecodeDisplay640x480(benchmark::State& state) {
    decodeLoop(state, picture(), DECODE_DISPLAY);
}
void BM_DecodeThumbnail80x56(benchmark::State& state) {
    decodeLoop(state, thumbnail(), DECODE_DISPLAY);
}

BENCHMARK(BM_DecodeFullPicture640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDisplay640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeThumbnail80x56)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Boxes (none are expected) must not stop a run.
    setenv("PXCM_PROMPTS", "/dev/null", 0);
    const char* flag = "--write-sample=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0) continue;
        const char* path = argv[i] + std::strlen(flag);
        std::FILE* f = std::fopen(path, "wb");
        const auto& jpeg = picture();
        if (!f || std::fwrite(jpeg.data(), 1, jpeg.size(), f) != jpeg.size() ||
            std::fclose(f) != 0) {
            std::fprintf(stderr, "decode_bench: cannot write %s\n", path);
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
