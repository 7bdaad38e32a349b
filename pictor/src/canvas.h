// The off-screen picture of a window: 32-bit pixel words, rows top-down.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictor {

// Largest canvas side in pixels; keeps every metric below 2^24 and the
// biggest world map (9600 x 6000) drawable at its own size.
constexpr int kMaxCanvasSide = 16384;

struct Canvas {
    int width = 0;                // pixels
    int height = 0;               // pixels
    std::vector<uint32_t> pixels; // 0x00RRGGBB, row-major, top row first

    void resize(int w, int h, uint32_t fill) {
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    uint32_t at(int x, int y) const { return row(y)[x]; }
    void set(int x, int y, uint32_t p) {
        if (contains(x, y)) row(y)[x] = p;
    }
};

// Pixel rectangle with exclusive right and bottom edges.
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

} // namespace pictor
