// The RLE8 encoder: every row as runs of one colour (at most 255 pixels a
// run), ended by an end-of-line escape; the picture by end-of-bitmap.
#include "rle_bitmap.h"

#include <stdexcept>

namespace builder {

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}
void set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) out[at + k] = static_cast<std::uint8_t>((value >> (8 * k)) & 0xFF);
}

} // namespace

std::vector<std::uint8_t> encodeRle8Bmp(const IndexedImage& image,
                                        const std::vector<std::uint32_t>& colours) {
    if (colours.empty() || colours.size() > 256) throw std::runtime_error("bad colour table");
    constexpr std::uint32_t kHeaders = 14 + 40;
    const auto tableBytes = static_cast<std::uint32_t>(4 * colours.size());
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 0); // file size, set below
    put32(out, 0); // reserved
    put32(out, kHeaders + tableBytes);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height)); // positive: rows bottom-up
    put16(out, 1);                                        // planes
    put16(out, 8);                                        // bits per pixel
    put32(out, 1);                                        // BI_RLE8
    put32(out, 0);                                        // image bytes, set below
    put32(out, 3780);                                     // 96 dpi
    put32(out, 3780);
    put32(out, static_cast<std::uint32_t>(colours.size()));
    put32(out, 0);
    for (std::uint32_t c : colours) { // blue, green, red, 0
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        out.push_back(static_cast<std::uint8_t>((c >> 16) & 0xFF));
        out.push_back(0);
    }
    const std::size_t pixelStart = out.size();
    for (int y = image.height - 1; y >= 0; --y) {
        int x = 0;
        while (x < image.width) {
            const std::uint8_t value = image.at(x, y);
            int run = 1;
            while (run < 255 && x + run < image.width && image.at(x + run, y) == value) ++run;
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(value);
            x += run;
        }
        out.push_back(0); // end of line, or of the bitmap after the last row
        out.push_back(y == 0 ? 1 : 0);
    }
    set32(out, 2, static_cast<std::uint32_t>(out.size()));
    set32(out, 34, static_cast<std::uint32_t>(out.size() - pixelStart));
    return out;
}

} // namespace builder
