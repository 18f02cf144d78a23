// draw_picture.cpp — a picture block onto a surface.
#include "image/draw_picture.h"

#include "image/dib.h"

int drawPicture(plat::Surface& surface, const plat::Rect& dest, plat::MemHandle picture,
                const plat::Rect& source, plat::Palette palette) {
    if (!picture) return 0;
    plat::MemLock lock(picture);
    if (!lock) return 0;
    const void* header = lock.get();
    const std::uint8_t* bits = dibBits(header);

    plat::Palette replaced = nullptr;
    if (palette) replaced = surface.selectBackgroundPalette(palette);

    int result;
    if (dest.width() == source.width() && dest.height() == source.height()) {
        // The device counts source rows from the bottom of the picture.
        const int height = dibHeight(header);
        result = surface.drawDib(dest.left, dest.top, dest.width(), dest.height(), source.left,
                                 height - source.top - source.height(), 0,
                                 static_cast<unsigned>(height) & 0xFFFFu, header, bits);
    } else {
        result = surface.stretchDib(dest.left, dest.top, dest.width(), dest.height(), source.left,
                                    source.top, source.width(), source.height(), header, bits);
    }

    if (palette) (void)surface.selectBackgroundPalette(replaced);
    return result;
}
