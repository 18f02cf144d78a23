// bmp_file.cpp — palette BMP encoding with an exact colour table.
#include "tools/skin-gen/bmp_file.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

#include "platform/dib_layout.h"

namespace skin {
namespace {

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Canvas& canvas, int bitsPerPixel) {
    if (bitsPerPixel != 4 && bitsPerPixel != 8)
        throw std::runtime_error("only 4 and 8 bits per pixel are written");
    const std::size_t entries = std::size_t{1} << bitsPerPixel;
    std::map<Rgb, unsigned> index;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) index.emplace(canvas.at(x, y), 0);
    if (index.size() > entries)
        throw std::runtime_error("picture has " + std::to_string(index.size()) +
                                 " colours, more than " + std::to_string(entries));
    unsigned next = 0;
    for (auto& entry : index) entry.second = next++;

    const std::uint32_t w = static_cast<std::uint32_t>(canvas.width());
    const std::uint32_t h = static_cast<std::uint32_t>(canvas.height());
    const auto stride =
        static_cast<std::uint32_t>(dibStride(static_cast<std::uint32_t>(bitsPerPixel), w));
    const std::uint32_t offBits = 14 + 40 + static_cast<std::uint32_t>(entries) * 4;
    const std::uint32_t imageSize = stride * h;

    std::vector<std::uint8_t> out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offBits + imageSize);
    put32(out, 0);
    put32(out, offBits);
    put32(out, 40);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, static_cast<unsigned>(bitsPerPixel));
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    std::size_t written = 0;
    for (const auto& entry : index) {
        out.push_back(static_cast<std::uint8_t>(blue(entry.first)));
        out.push_back(static_cast<std::uint8_t>(green(entry.first)));
        out.push_back(static_cast<std::uint8_t>(red(entry.first)));
        out.push_back(0);
        ++written;
    }
    for (; written < entries; ++written) put32(out, 0);

    for (int y = canvas.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < canvas.width(); ++x) {
            const unsigned i = index.at(canvas.at(x, y));
            if (bitsPerPixel == 8)
                row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(i);
            else
                row[static_cast<std::size_t>(x) / 2] |=
                    static_cast<std::uint8_t>(x % 2 == 0 ? i << 4 : i);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace skin
