// checkWorldMap, bigMapInstalled: the headers of the world-map pictures.
#include "tarvo/views/world_map_check.h"

#include "fileio/byte_cursor.h"
#include "fileio/data_tree.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace tarvo {

namespace {

constexpr std::size_t kHeadBytes = 14 + 40;
constexpr std::uint32_t kRle8 = 1;

WorldMapCheck fault(WorldMapCheck::Status status, const std::filesystem::path& file,
                    const std::string& why) {
    WorldMapCheck c;
    c.status = status;
    c.message = file.string() + ": " + why;
    return c;
}

} // namespace

std::filesystem::path worldMapPath(const std::filesystem::path& imageDirectory, WorldMap map) {
    const char* name = worldMapFile(map).name;
    return findDataFile(imageDirectory, name).value_or(imageDirectory / name);
}

WorldMapCheck checkWorldMap(const std::filesystem::path& file, WorldMap map) {
    using Status = WorldMapCheck::Status;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return fault(Status::Missing, file, "world map not found");
    const std::uintmax_t length = std::filesystem::file_size(file, ec);
    if (ec) return fault(Status::Missing, file, "world map cannot be read");
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> head(kHeadBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    if (!in || length < kHeadBytes)
        return fault(Status::Damaged, file, "too short for a picture header");

    ByteCursor c(head.data(), head.size(), false);
    const std::string magic = c.characters(2);
    const std::uint32_t declaredLength = c.u32();
    c.skip(4);
    const std::uint32_t pixelOffset = c.u32();
    const std::uint32_t infoBytes = c.u32();
    const std::int32_t width = c.i32(), height = c.i32();
    const std::uint16_t planes = static_cast<std::uint16_t>(c.unsignedInteger(2));
    const std::uint16_t bits = static_cast<std::uint16_t>(c.unsignedInteger(2));
    const std::uint32_t compression = c.u32();
    const std::uint32_t imageBytes = c.u32();
    if (magic != "BM") return fault(Status::Damaged, file, "not a BMP picture");
    if (infoBytes < 40 || planes != 1)
        return fault(Status::Damaged, file, "unknown picture header");
    WorldMapCheck result;
    result.width = width;
    result.height = height < 0 ? -height : height;
    if (bits != 8 || (compression != 0 && compression != kRle8))
        return fault(Status::Damaged, file,
                     "not an 8-bit picture (" + std::to_string(bits) + " bits, compression " +
                         std::to_string(compression) + ")");
    if (pixelOffset < 14 + infoBytes || pixelOffset > length)
        return fault(Status::Damaged, file, "pixel data offset outside the file");
    if (declaredLength > length || (imageBytes != 0 && imageBytes > length - pixelOffset))
        return fault(Status::Damaged, file,
                     "cut short: " + std::to_string(length) + " bytes where the header says " +
                         std::to_string(std::max<std::uint64_t>(
                             declaredLength, std::uint64_t(pixelOffset) + imageBytes)));
    const WorldMapFile& expected = worldMapFile(map);
    if (result.width != expected.width || result.height != expected.height) {
        WorldMapCheck wrong = fault(
            Status::WrongSize, file,
            std::to_string(result.width) + " x " + std::to_string(result.height) + " pixels, not " +
                std::to_string(expected.width) + " x " + std::to_string(expected.height));
        wrong.width = result.width;
        wrong.height = result.height;
        return wrong;
    }
    result.status = Status::Good;
    return result;
}

bool bigMapInstalled(const std::filesystem::path& imageDirectory) {
    return checkWorldMap(worldMapPath(imageDirectory, WorldMap::Big), WorldMap::Big).good();
}

} // namespace tarvo
