// A decoded picture: 0x00RRGGBB pixel words, rows top-down.
#pragma once
#include <cstdint>
#include <vector>

namespace pictor {

struct Picture {
    int width = 0;  // pixels
    int height = 0; // pixels
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

} // namespace pictor
