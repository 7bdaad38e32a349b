// Rasterising map rings into an 8-bit picture in plate carrée: longitude
// -180 at the left edge to +180 at the right, latitude +90 at the top to -90
// at the bottom, linear in both; point (lon, lat) lies at the continuous
// pixel position x = (lon + 180) W / 360, y = (90 - lat) H / 180.
#pragma once

#include "world_topology.h"

#include <cstdint>
#include <vector>

namespace builder {

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // colour-table indices, rows top-down

    IndexedImage(int w, int h, std::uint8_t fill)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Sets to `index` every pixel whose centre lies inside the rings under the
// even-odd rule (holes such as the Caspian Sea stay as they were).
void fillRings(IndexedImage& image, const std::vector<Ring>& rings, std::uint8_t index);

// Draws the polylines one pixel wide in `index`, only over pixels that hold
// `over` (borders on land, never out at sea).
void drawPolylines(IndexedImage& image, const std::vector<Polyline>& lines, std::uint8_t index,
                   std::uint8_t over);

} // namespace builder
