#include "bmp_reader.h"

#include <bit>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace pictor {

namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr size_t kFileHeaderBytes = 14;

class Bytes {
  public:
    explicit Bytes(std::span<const uint8_t> data) : data_(data) {}
    size_t size() const { return data_.size(); }
    bool has(size_t offset, size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    uint8_t u8(size_t at) const { return data_[at]; }
    uint16_t u16(size_t at) const {
        return static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    uint32_t u32(size_t at) const {
        return static_cast<uint32_t>(data_[at]) | (static_cast<uint32_t>(data_[at + 1]) << 8) |
               (static_cast<uint32_t>(data_[at + 2]) << 16) |
               (static_cast<uint32_t>(data_[at + 3]) << 24);
    }
    int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }

  private:
    std::span<const uint8_t> data_;
};

// One colour component described by a bit mask, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
    }
    uint32_t extract(uint32_t value) const {
        if (bits == 0) return 0;
        const uint32_t v = (value & mask) >> shift;
        if (bits >= 8) return (v >> (bits - 8)) & 0xFFu;
        return v * 255u / ((1u << bits) - 1u);
    }
};

struct Layout {
    uint32_t headerBytes = 0;
    long long width = 0;
    long long height = 0; // rows, always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    uint32_t imageBytes = 0; // 0 when not given
    uint32_t paletteCount = 0;
    size_t paletteOffset = 0;
    int paletteEntryBytes = 4;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    size_t pixelOffset = 0;
};

BmpResult refuse(const char* why) {
    BmpResult r;
    r.error = why;
    return r;
}

const char* readLayout(const Bytes& in, Layout& l) {
    if (!in.has(0, kFileHeaderBytes + 4)) return "file shorter than the BMP headers";
    if (in.u8(0) != 'B' || in.u8(1) != 'M') return "not a BMP file (no \"BM\" signature)";
    l.pixelOffset = in.u32(10);
    l.headerBytes = in.u32(14);
    const uint32_t h = l.headerBytes;
    if (h != 12 && h != 40 && h != 52 && h != 56 && h != 108 && h != 124)
        return "unknown information header size";
    if (!in.has(kFileHeaderBytes, h)) return "information header runs past the end of the file";
    const size_t at = kFileHeaderBytes;
    int planes = 0;
    if (h == 12) {
        l.width = in.u16(at + 4);
        l.height = in.u16(at + 6);
        planes = in.u16(at + 8);
        l.bitsPerPixel = in.u16(at + 10);
        l.paletteEntryBytes = 3;
    } else {
        l.width = in.i32(at + 4);
        const long long rows = in.i32(at + 8);
        l.topDown = rows < 0;
        l.height = rows < 0 ? -rows : rows;
        planes = in.u16(at + 12);
        l.bitsPerPixel = in.u16(at + 14);
        l.compression = in.u32(at + 16);
        l.imageBytes = in.u32(at + 20);
        l.paletteCount = in.u32(at + 32);
    }
    if (planes != 1) return "plane count is not 1";
    if (l.width <= 0 || l.height <= 0) return "width or height is not positive";
    if (l.width > kMaxPictureSide || l.height > kMaxPictureSide ||
        l.width * l.height > kMaxPicturePixels)
        return "picture too large";

    const int bpp = l.bitsPerPixel;
    switch (l.compression) {
    case kCompressionNone:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            return "unsupported bits per pixel";
        break;
    case kCompressionRle8:
        if (bpp != 8) return "RLE8 needs 8 bits per pixel";
        break;
    case kCompressionRle4:
        if (bpp != 4) return "RLE4 needs 4 bits per pixel";
        break;
    case kCompressionBitFields:
        if (bpp != 16 && bpp != 32) return "bit fields need 16 or 32 bits per pixel";
        break;
    default:
        return "unsupported compression";
    }
    if (l.topDown && (l.compression == kCompressionRle8 || l.compression == kCompressionRle4))
        return "run-length encoded rows cannot run top-down";

    size_t afterHeader = kFileHeaderBytes + h;
    if (l.compression == kCompressionBitFields) {
        size_t maskAt = kFileHeaderBytes + 40;
        if (h == 40) {
            if (!in.has(maskAt, 12)) return "bit-field masks run past the end of the file";
            afterHeader += 12;
        }
        for (int i = 0; i < 3; ++i) l.masks[i] = in.u32(maskAt + 4 * i);
    } else if (bpp == 16) {
        l.masks[0] = 0x7C00;
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    } else if (bpp >= 24) {
        l.masks[0] = 0xFF0000;
        l.masks[1] = 0x00FF00;
        l.masks[2] = 0x0000FF;
    }

    if (bpp <= 8) {
        const uint32_t most = 1u << bpp;
        if (l.paletteCount == 0) l.paletteCount = most;
        if (l.paletteCount > 256) return "palette count above 256";
    } else {
        l.paletteCount = 0; // a colour table of a true-colour file only advises
    }
    l.paletteOffset = afterHeader;
    const size_t paletteBytes = size_t{l.paletteCount} * l.paletteEntryBytes;
    if (!in.has(l.paletteOffset, paletteBytes)) return "colour table runs past the end of the file";
    if (l.pixelOffset < afterHeader + paletteBytes && bpp <= 8)
        return "pixel data offset lies inside the colour table";
    if (l.pixelOffset < afterHeader) return "pixel data offset lies inside the headers";
    if (l.pixelOffset > in.size()) return "pixel data offset lies past the end of the file";
    if (l.compression == kCompressionNone || l.compression == kCompressionBitFields) {
        const long long rowBytes = (l.width * bpp + 31) / 32 * 4;
        const long long lastRowBytes = (l.width * bpp + 7) / 8;
        const long long needed = rowBytes * (l.height - 1) + lastRowBytes;
        if (needed > static_cast<long long>(in.size() - l.pixelOffset))
            return "pixel rows run past the end of the file";
    }
    return nullptr;
}

std::vector<uint32_t> readPalette(const Bytes& in, const Layout& l) {
    std::vector<uint32_t> palette(256, 0); // indices beyond the table read as black
    for (uint32_t i = 0; i < l.paletteCount; ++i) {
        const size_t at = l.paletteOffset + size_t{i} * l.paletteEntryBytes;
        palette[i] = (uint32_t{in.u8(at + 2)} << 16) | (uint32_t{in.u8(at + 1)} << 8) | in.u8(at);
    }
    return palette;
}

const char* decodeRows(const Bytes& in, const Layout& l, const std::vector<uint32_t>& palette,
                       Picture& pic) {
    const long long w = l.width;
    const long long rowBytes = (w * l.bitsPerPixel + 31) / 32 * 4; // sizes checked by readLayout
    const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    for (long long r = 0; r < l.height; ++r) {
        const size_t src = l.pixelOffset + static_cast<size_t>(r * rowBytes);
        const long long y = l.topDown ? r : l.height - 1 - r;
        uint32_t* out = pic.pixels.data() + y * w;
        switch (l.bitsPerPixel) {
        case 1:
        case 4:
        case 8: {
            const int bpp = l.bitsPerPixel, perByte = 8 / bpp;
            const uint32_t mask = (1u << bpp) - 1u;
            for (long long x = 0; x < w; ++x) {
                const uint8_t byte = in.u8(src + static_cast<size_t>(x / perByte));
                const int shift = 8 - bpp * static_cast<int>(x % perByte + 1);
                out[x] = palette[(byte >> shift) & mask];
            }
            break;
        }
        case 16:
            for (long long x = 0; x < w; ++x) {
                const uint32_t v = in.u16(src + static_cast<size_t>(2 * x));
                out[x] = (red.extract(v) << 16) | (green.extract(v) << 8) | blue.extract(v);
            }
            break;
        case 24:
            for (long long x = 0; x < w; ++x) {
                const size_t at = src + static_cast<size_t>(3 * x);
                out[x] =
                    (uint32_t{in.u8(at + 2)} << 16) | (uint32_t{in.u8(at + 1)} << 8) | in.u8(at);
            }
            break;
        case 32:
            for (long long x = 0; x < w; ++x) {
                const uint32_t v = in.u32(src + static_cast<size_t>(4 * x));
                out[x] = (red.extract(v) << 16) | (green.extract(v) << 8) | blue.extract(v);
            }
            break;
        default:
            return "unsupported bits per pixel";
        }
    }
    return nullptr;
}

// Run-length decoding; x and y count from the left of the bottom row.
const char* decodeRuns(const Bytes& in, const Layout& l, const std::vector<uint32_t>& palette,
                       Picture& pic) {
    const bool four = l.compression == kCompressionRle4;
    size_t end = in.size();
    if (l.imageBytes != 0) {
        if (!in.has(l.pixelOffset, l.imageBytes))
            return "run-length data runs past the end of the file";
        end = l.pixelOffset + l.imageBytes;
    }
    const long long w = l.width, h = l.height;
    long long x = 0, y = 0;
    size_t p = l.pixelOffset;
    auto put = [&](long long count) -> uint32_t* {
        if (y >= h || x + count > w) return nullptr;
        uint32_t* row = pic.pixels.data() + (h - 1 - y) * w;
        return row + x;
    };
    while (true) {
        if (end - p < 2) return "run-length data ends without an end-of-bitmap mark";
        const uint8_t count = in.u8(p), value = in.u8(p + 1);
        p += 2;
        if (count > 0) {
            uint32_t* out = put(count);
            if (!out) return "run reaches past the end of a row or the picture";
            if (four) {
                for (int i = 0; i < count; ++i)
                    out[i] = palette[(i % 2 == 0) ? (value >> 4) : (value & 15)];
            } else {
                std::fill(out, out + count, palette[value]);
            }
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return nullptr;
        } else if (value == 2) { // move right and up
            if (end - p < 2) return "run-length move runs past the end of the data";
            x += in.u8(p);
            y += in.u8(p + 1);
            p += 2;
            if (x > w || y > h) return "run-length move leaves the picture";
        } else { // literal pixels, padded to an even byte count
            const size_t bytes = four ? (value + 1u) / 2u : value;
            const size_t padded = (bytes + 1u) & ~size_t{1};
            if (end - p < padded) return "literal run reaches past the end of the data";
            uint32_t* out = put(value);
            if (!out) return "literal run reaches past the end of a row or the picture";
            for (int i = 0; i < value; ++i) {
                const uint8_t byte = in.u8(p + (four ? i / 2 : i));
                out[i] = palette[four ? ((i % 2 == 0) ? (byte >> 4) : (byte & 15)) : byte];
            }
            x += value;
            p += padded;
        }
    }
}

} // namespace

BmpResult decodeBmp(std::span<const uint8_t> file) {
    const Bytes in(file);
    Layout layout;
    if (const char* why = readLayout(in, layout)) return refuse(why);
    const std::vector<uint32_t> palette = readPalette(in, layout);
    BmpResult result;
    Picture& pic = result.picture;
    pic.width = static_cast<int>(layout.width);
    pic.height = static_cast<int>(layout.height);
    const bool runs =
        layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    // Pixels a run-length picture skips keep the first colour of its table.
    pic.pixels.assign(static_cast<size_t>(layout.width * layout.height), runs ? palette[0] : 0);
    if (const char* why =
            runs ? decodeRuns(in, layout, palette, pic) : decodeRows(in, layout, palette, pic))
        return refuse(why);
    result.ok = true;
    return result;
}

BmpResult readBmpFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return refuse("file cannot be opened");
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return refuse("not a regular file");
    }
    if (st.st_size > kMaxPictureFileBytes) {
        std::fclose(f);
        return refuse("file too large");
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
    const size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) return refuse("file cannot be read");
    return decodeBmp(bytes);
}

} // namespace pictor
