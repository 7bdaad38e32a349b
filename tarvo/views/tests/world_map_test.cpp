// The world maps of the built data tree and the check of a map's headers.
// Oracles: geography (places known to be on land or at sea, far from any
// coast or border at the pixel size of each map), read back through the
// graphics library's own BMP decoder; and damaged copies of a real map.
#include "tarvo/views/world_map_check.h"

#include "bmp_reader.h"
#include "pictor.h"
#include "program_runner.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

namespace {

using namespace tarvo;
namespace fs = std::filesystem;

const fs::path kImages = tarvo::testing::kBuiltTree / "IMG";

struct Place {
    const char* name;
    double lat, lon;
};

constexpr Place kLand[] = {
    {"Paris", 48.86, 2.35},          {"Denver", 39.74, -104.99},
    {"central Algeria", 27.0, 3.0},  {"Brasilia", -15.8, -47.9},
    {"Alice Springs", -23.7, 133.9}, {"Moscow", 55.75, 37.6},
    {"inland Greenland", 72.0, -40}, {"East Antarctica", -80.0, 100.0},
    {"the South Pole", -89.9, 0.0},  {"the Sahel of Chad", 14.0, 19.0},
};
constexpr Place kSea[] = {
    {"the North Atlantic", 30.0, -40.0}, {"the central Pacific", 0.0, -150.0},
    {"the Indian Ocean", -30.0, 80.0},   {"the Caspian Sea", 42.0, 50.5},
    {"the Ionian Sea", 35.0, 18.0},      {"Hudson Bay", 60.0, -87.0},
    {"the Arctic Ocean", 88.0, 0.0},     {"the Drake Passage", -58.0, -65.0},
};

std::uint32_t colourAt(const pictor::Picture& p, const Place& place) {
    const int x = static_cast<int>(std::floor((place.lon + 180) * p.width / 360));
    const int y = static_cast<int>(std::floor((90 - place.lat) * p.height / 180));
    return p.at(x, y);
}

class BuiltMaps : public ::testing::TestWithParam<WorldMap> {
  protected:
    void SetUp() override {
        if (!fs::exists(kImages / worldMapFile(GetParam()).name))
            GTEST_SKIP() << "THE WORLD MAP " << worldMapFile(GetParam()).name
                         << " IS NOT IN THE BUILT TREE " << kImages
                         << " (the builder needs the npm package world-atlas)";
    }
};

TEST_P(BuiltMaps, LandAndSeaWhereTheyAreOnEarth) {
    const WorldMapFile& file = worldMapFile(GetParam());
    const fs::path path = kImages / file.name;
    const WorldMapCheck check = checkWorldMap(path, GetParam());
    ASSERT_TRUE(check.good()) << check.message;
    const pictor::BmpResult map = pictor::readBmpFile(path.string());
    ASSERT_TRUE(map.ok) << map.error;
    ASSERT_EQ(map.picture.width, file.width);
    ASSERT_EQ(map.picture.height, file.height);
    for (const Place& p : kLand)
        EXPECT_EQ(colourAt(map.picture, p), kMapLandRgb) << p.name << " in " << file.name;
    for (const Place& p : kSea)
        EXPECT_EQ(colourAt(map.picture, p), kMapSeaRgb) << p.name << " in " << file.name;
    // No pixel is pure black or pure red: the path mapper's fills stop there.
    for (std::uint32_t pixel : map.picture.pixels) {
        ASSERT_NE(pixel, 0x000000u);
        ASSERT_NE(pixel, 0xFF0000u);
    }
}

INSTANTIATE_TEST_SUITE_P(EachMap, BuiltMaps,
                         ::testing::Values(WorldMap::Small, WorldMap::Medium, WorldMap::Big));

TEST(BuiltMapsInstalled, TheBigMapCountsAsInstalledByItsHeaderNotItsLength) {
    const fs::path big = kImages / "WMAPBIG.RLE";
    if (!fs::exists(big)) GTEST_SKIP() << "NO WMAPBIG.RLE IN THE BUILT TREE " << kImages;
    EXPECT_TRUE(bigMapInstalled(kImages)) << fs::file_size(big) << " bytes";
}

class DamagedMaps : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        if (!fs::exists(kImages / "WMAPSM.RLE")) GTEST_SKIP() << "NO WMAPSM.RLE IN " << kImages;
        good = tarvo::testing::readFile(kImages / "WMAPSM.RLE");
    }
    // The check's verdict on `bytes` as WMAPSM.RLE, and that pictor refuses
    // to draw it, leaving the canvas as it was.
    WorldMapCheck checkAndDraw(const std::string& bytes, bool drawable) {
        const fs::path file = write("WMAPSM.RLE", bytes);
        const WorldMapCheck check = checkWorldMap(file, WorldMap::Small);
        EXPECT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 120, 72, 0), 0);
        GfxOption(1, 0);
        GfxOption(6, 0);
        const int result = StretchBitmap(file.string().c_str(), 120, 72);
        if (!drawable) {
            EXPECT_EQ(result, PICTOR_ERR_PLATFORM);
        }
        GfxWindow(1);
        return check;
    }
    std::string good;
};

TEST_F(DamagedMaps, TruncatedOversizedAndGarbageFilesAreToldWithTheFileName) {
    // Cut short: inside the header, and inside the pixel runs.
    for (std::size_t length : {std::size_t(0), std::size_t(30), std::size_t(5000)}) {
        const WorldMapCheck c = checkAndDraw(good.substr(0, length), false);
        EXPECT_EQ(c.status, WorldMapCheck::Status::Damaged) << length;
        EXPECT_NE(c.message.find("WMAPSM.RLE"), std::string::npos) << c.message;
    }
    // A header that claims a picture far larger than any map.
    std::string huge = good;
    huge[18] = huge[19] = huge[20] = static_cast<char>(0xFF);
    huge[21] = 0x7F;
    EXPECT_EQ(checkAndDraw(huge, false).status, WorldMapCheck::Status::WrongSize);
    // Garbage.
    std::mt19937 random(7);
    std::string noise(40000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    EXPECT_EQ(checkAndDraw(noise, false).status, WorldMapCheck::Status::Damaged);
    noise[0] = 'B';
    noise[1] = 'M';
    EXPECT_EQ(checkAndDraw(noise, false).status, WorldMapCheck::Status::Damaged);
    // The medium map under the small map's name: a good picture of the
    // wrong size is refused by the check (it would be cropped wrongly).
    if (fs::exists(kImages / "WMAPMED.RLE")) {
        const WorldMapCheck c =
            checkAndDraw(tarvo::testing::readFile(kImages / "WMAPMED.RLE"), true);
        EXPECT_EQ(c.status, WorldMapCheck::Status::WrongSize);
        EXPECT_EQ(c.width, 3200);
        EXPECT_NE(c.message.find("3200 x 2000 pixels, not 1200 x 720"), std::string::npos);
    }
    EXPECT_EQ(checkWorldMap(dir / "NONE.RLE", WorldMap::Small).status,
              WorldMapCheck::Status::Missing);
}

TEST_F(DamagedMaps, ACutBigMapIsNotInstalledSoTheMediumStandsIn) {
    const fs::path big = kImages / "WMAPBIG.RLE";
    if (!fs::exists(big)) GTEST_SKIP() << "NO WMAPBIG.RLE IN " << kImages;
    const std::string whole = tarvo::testing::readFile(big);
    write("WMAPBIG.RLE", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(bigMapInstalled(dir));
    write("WMAPBIG.RLE", whole);
    EXPECT_TRUE(bigMapInstalled(dir));
}

} // namespace
