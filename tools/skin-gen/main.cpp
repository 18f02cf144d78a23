// main.cpp — skin-gen OUTDIR: draws every skin picture of the data source
// and writes it there as a palette BMP file.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/skin-gen/bmp_file.h"
#include "tools/skin-gen/skin_art.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skin-gen OUTDIR\n");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        skin::Art art;
        for (const skin::SkinPicture& p : skin::skinPictures()) {
            const skin::Canvas canvas = p.draw(art, p);
            if (canvas.width() != p.width || canvas.height() != p.height) {
                std::fprintf(stderr, "skin-gen: %s drawn at %d x %d instead of %d x %d\n", p.file,
                             canvas.width(), canvas.height(), p.width, p.height);
                return 1;
            }
            skin::writeFile((dir / p.file).string(), skin::encodeBmp(canvas, p.bitsPerPixel));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skin-gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
