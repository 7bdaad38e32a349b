// Hand-made BMP files for the reader tests, laid out field by field from
// the BMP format definition (independent of the library's writer).
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace pictor_test {

class BmpBuilder {
  public:
    struct Info {
        int32_t width = 0;
        int32_t height = 0; // negative: rows top-down
        uint16_t bitsPerPixel = 24;
        uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
        uint32_t paletteCount = 0; // 0: the default for the depth
        uint32_t headerSize = 40;  // 12 (core), 40, 108, 124
    };

    // palette: 0x00RRGGBB entries; masks: written after a 40-byte header
    // for bit fields, or inside a larger header.
    static std::vector<uint8_t> make(const Info& info, const std::vector<uint32_t>& palette,
                                     const std::vector<uint8_t>& pixelData,
                                     std::initializer_list<uint32_t> masks = {}) {
        std::vector<uint8_t> h;
        const bool core = info.headerSize == 12;
        const size_t maskBytes = (info.headerSize == 40 && info.compression == 3) ? 12 : 0;
        const size_t entry = core ? 3 : 4;
        const size_t offset = 14 + info.headerSize + maskBytes + palette.size() * entry;
        const size_t total = offset + pixelData.size();
        put8(h, 'B');
        put8(h, 'M');
        put32(h, static_cast<uint32_t>(total));
        put32(h, 0);
        put32(h, static_cast<uint32_t>(offset));
        put32(h, info.headerSize);
        if (core) {
            put16(h, static_cast<uint16_t>(info.width));
            put16(h, static_cast<uint16_t>(info.height));
            put16(h, 1);
            put16(h, info.bitsPerPixel);
        } else {
            put32(h, static_cast<uint32_t>(info.width));
            put32(h, static_cast<uint32_t>(info.height));
            put16(h, 1);
            put16(h, info.bitsPerPixel);
            put32(h, info.compression);
            put32(h, static_cast<uint32_t>(pixelData.size()));
            put32(h, 2835); // 72 dpi
            put32(h, 2835);
            put32(h, info.paletteCount);
            put32(h, 0);
            std::vector<uint32_t> m(masks);
            m.resize(3, 0);
            if (info.headerSize > 40) {
                for (uint32_t v : m) put32(h, v);
                while (h.size() < 14 + info.headerSize) put8(h, 0);
            } else if (maskBytes) {
                for (uint32_t v : m) put32(h, v);
            }
        }
        for (uint32_t c : palette) {
            put8(h, static_cast<uint8_t>(c));       // blue
            put8(h, static_cast<uint8_t>(c >> 8));  // green
            put8(h, static_cast<uint8_t>(c >> 16)); // red
            if (!core) put8(h, 0);
        }
        h.insert(h.end(), pixelData.begin(), pixelData.end());
        return h;
    }

  private:
    static void put8(std::vector<uint8_t>& v, uint32_t x) { v.push_back(static_cast<uint8_t>(x)); }
    static void put16(std::vector<uint8_t>& v, uint32_t x) {
        put8(v, x);
        put8(v, x >> 8);
    }
    static void put32(std::vector<uint8_t>& v, uint32_t x) {
        put16(v, x & 0xFFFF);
        put16(v, x >> 16);
    }
};

} // namespace pictor_test
