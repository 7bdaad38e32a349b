// Reader of BMP pictures: 1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed, bit-field or run-length encoded (RLE4, RLE8), rows
// bottom-up or top-down. Every size, offset, palette count and run is
// checked against the file before it is used.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "picture.h"

namespace pictor {

// Largest picture the reader accepts: 2^26 pixels (256 MiB decoded), room
// for the 9600 x 6000 world map with margin.
constexpr long long kMaxPicturePixels = 67108864;
constexpr long long kMaxPictureSide = 65535;
// Largest file the reader loads into memory.
constexpr long long kMaxPictureFileBytes = 600LL * 1024 * 1024;

struct BmpResult {
    bool ok = false;
    std::string error; // why the file was refused, when !ok
    Picture picture;
};

BmpResult decodeBmp(std::span<const uint8_t> file);
BmpResult readBmpFile(const std::string& path);

} // namespace pictor
