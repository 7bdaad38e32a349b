// IMG/WMAPSM.RLE, IMG/WMAPMED.RLE, IMG/WMAPBIG.RLE: the world maps, made
// from Natural Earth's 1:10 million land (npm package world-atlas,
// land-10m.json; its one inland water body cut out of the land is the
// Caspian Sea) with the land borders between countries (countries-10m.json),
// rasterised at pixel centres into 8-bit run-length encoded BMPs of the
// sizes the programs crop them by.
#include "builder_output.h"
#include "land_raster.h"
#include "rle_bitmap.h"
#include "world_topology.h"

#include "tarvo/views/world_map_files.h"

#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kSea = 0, kLand = 1, kBorder = 2;

fs::path atlasDir(const builder::BuildContext& ctx) {
#ifdef TARVO_NPM_DIR
    const std::string fallback = std::string(TARVO_NPM_DIR) + "/node_modules/world-atlas";
#else
    const std::string fallback = "node_modules/world-atlas";
#endif
    return ctx.option("world-atlas", fallback);
}

std::vector<fs::path> atlasInputs(const builder::BuildContext& ctx) {
    return {atlasDir(ctx) / "land-10m.json", atlasDir(ctx) / "countries-10m.json"};
}

void buildMap(const builder::BuildContext& ctx, const fs::path& target, tarvo::WorldMap which) {
    const tarvo::WorldMapFile& file = tarvo::worldMapFile(which);
    const auto inputs = atlasInputs(ctx);
    for (const fs::path& in : inputs)
        if (!fs::exists(in))
            throw std::runtime_error(in.string() +
                                     " is missing: scripts/setup installs the npm package "
                                     "world-atlas (or give --world-atlas=DIR)");
    const auto land = builder::readTopologyRings(inputs[0], "land");
    const auto borders = builder::readSharedArcs(inputs[1], "countries");
    builder::IndexedImage image(file.width, file.height, kSea);
    builder::fillRings(image, land, kLand);
    builder::drawPolylines(image, borders, kBorder, kLand);
    const auto bytes = builder::encodeRle8Bmp(
        image, {tarvo::kMapSeaRgb, tarvo::kMapLandRgb, tarvo::kMapBorderRgb});
    std::ofstream out(target, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("write failed for " + target.string());
    ctx.progress(std::string(file.name) + ": " + std::to_string(file.width) + " x " +
                 std::to_string(file.height) + ", " + std::to_string(land.size()) +
                 " land rings, " + std::to_string(borders.size()) + " border arcs, " +
                 std::to_string(bytes.size()) + " bytes");
}

builder::Output mapOutput(tarvo::WorldMap which) {
    return {
        .path = std::string("IMG/") + tarvo::worldMapFile(which).name,
        .order = 50,
        .version = "1",
        .inputs = atlasInputs,
        .optionKeys = {"world-atlas"},
        .build = [which](const builder::BuildContext& ctx,
                         const fs::path& target) { buildMap(ctx, target, which); },
    };
}

builder::Registration smallMap{mapOutput(tarvo::WorldMap::Small)};
builder::Registration mediumMap{mapOutput(tarvo::WorldMap::Medium)};
builder::Registration bigMap{mapOutput(tarvo::WorldMap::Big)};

} // namespace
