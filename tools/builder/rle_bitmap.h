// 8-bit run-length encoded BMP files (the world maps): file header,
// 40-byte information header with compression 1 (RLE8), a colour table and
// the encoded rows, bottom-up.
#pragma once

#include "land_raster.h"

#include <cstdint>
#include <vector>

namespace builder {

// Colours of the table as 0xRRGGBB.
std::vector<std::uint8_t> encodeRle8Bmp(const IndexedImage& image,
                                        const std::vector<std::uint32_t>& colours);

} // namespace builder
