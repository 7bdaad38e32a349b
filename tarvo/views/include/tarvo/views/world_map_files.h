// The three world-map pictures of the picture directory (IMG): the same
// plate carrée map of the whole Earth at three resolutions, longitude -180
// at the left edge to +180 at the right, latitude +90 at the top to -90 at
// the bottom. Each is an 8-bit run-length encoded BMP under the extension
// .RLE. The programs crop them by these sizes, so a picture of another size
// is refused (see world_map_check.h).
#pragma once

#include <array>
#include <cstdint>

namespace tarvo {

enum class WorldMap { Small = 0, Medium = 1, Big = 2 };

struct WorldMapFile {
    const char* name;
    int width;  // pixels for 360 degrees of longitude
    int height; // pixels for 180 degrees of latitude
};

inline constexpr std::array<WorldMapFile, 3> kWorldMaps = {{
    {"WMAPSM.RLE", 1200, 720},
    {"WMAPMED.RLE", 3200, 2000},
    {"WMAPBIG.RLE", 9600, 6000},
}};

inline constexpr const WorldMapFile& worldMapFile(WorldMap map) {
    return kWorldMaps[static_cast<int>(map)];
}

// Colours of the maps as 0xRRGGBB. None is pure black or pure red: the path
// mapper's fills stop at exactly those two colours, and the grid and the
// labels are black.
inline constexpr std::uint32_t kMapSeaRgb = 0xA9CDEB;
inline constexpr std::uint32_t kMapLandRgb = 0xD9D3A6;
inline constexpr std::uint32_t kMapBorderRgb = 0x9C8A6A;

// The colours above in the suite's colour layout (red in bits 0-7, green in
// 8-15, blue in 16-23).
inline constexpr int suiteColour(std::uint32_t rgb) {
    return static_cast<int>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

} // namespace tarvo
