// The location picker through key scripts (gclick and grclick for the
// graphics window), on the maps of the built data tree. Oracles: the plate
// carrée mapping worked by hand for the 648 x 400 canvas that an 81 x 27
// console gives (81 columns, 25 rows of 8 x 16 pixels), and the Part's rules
// for the pole and the site's name.
#include "tarvo/views/location_picker.h"

#include "console/console.h"
#include "program_runner.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

namespace fs = std::filesystem;
constexpr double kDeg = std::numbers::pi / 180.0;
const fs::path kImages = tarvo::testing::kBuiltTree / "IMG";

class Picker : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        if (!fs::exists(kImages / "WMAPSM.RLE"))
            GTEST_SKIP() << "NO WORLD MAPS IN THE BUILT TREE " << kImages;
        input.imageDirectory = kImages;
        input.sites = &sites;
        input.current = {51.4779 * kDeg, -0.0015 * kDeg, 46e-9, "Greenwich"};
    }
    std::optional<tarvo::ObserverSite> pick(const std::string& script) {
        console::Options options;
        options.scriptPath = write("script.txt", script).string();
        options.forceScript = true;
        console::InitConsoleTools(options);
        console::setSize(81, 27);
        console::clear();
        const auto picked = tarvo::pickLocationOnMap(input);
        screen = console::screenText();
        console::shutdownConsole();
        return picked;
    }
    std::vector<tarvo::GeoSite> sites{{"PORTLAND", "AMERICA", 45.52, -122.68, 0},
                                      {"ACCRA", "AFRICA", 5.55, -0.20, 0},
                                      {"LONDON", "EUROPE", 51.51, -0.13, 0}};
    tarvo::LocationPickerInput input;
    std::string screen;
};

TEST_F(Picker, AZoomAtTheCentreReadsZeroZeroAndEnterTakesTheNearestSite) {
    const auto picked = pick("expect Left Click: Zoom on Location\n"
                             "gclick 324 200\n"
                             "expect Left Click: Zoom to full map\n"
                             "expect Lat:  0.0N  Lon:   0.0E  Nearest Loc.:ACCRA D: 617 km\n"
                             "key Enter\n");
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->label, "Loc: ACCRA");
    EXPECT_NEAR(picked->latitude / kDeg, 5.55, 1e-12);
    EXPECT_NEAR(picked->longitude / kDeg, -0.20, 1e-12);
}

TEST_F(Picker, ARightClickIsACustomSiteEvenBesideAKnownOne) {
    // Pixel (x, y) of the whole world: lon = 360 x / 648 - 180, lat = 90 - 180 y / 400.
    // London is at x = 323.8, y = 85.5.
    const auto picked = pick("grclick 324 85\n");
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->label, "Custom Site");
    EXPECT_NEAR(picked->longitude / kDeg, 360.0 * 324 / 648 - 180, 1e-12);
    EXPECT_NEAR(picked->latitude / kDeg, 90 - 180.0 * 85 / 400, 1e-12);
    EXPECT_NEAR(picked->heightGm, 46e-9, 1e-18); // the height is kept
}

TEST_F(Picker, TheTopEdgeIsJustInsideThePoleAndClicksAtPixelZeroCount) {
    const auto picked = pick("grclick 0 0\n");
    ASSERT_TRUE(picked);
    EXPECT_DOUBLE_EQ(picked->latitude, std::numbers::pi / 2 - 1e-8);
    EXPECT_NEAR(picked->longitude / kDeg, -180.0, 1e-12);
}

TEST_F(Picker, EscLeavesWithoutAChangeAndClicksOffTheCanvasAreIgnored) {
    EXPECT_FALSE(pick("grclick 648 10\ngclick 5 400\ngrclick 10 400\nexpect Lat:   --\nkey Esc\n"));
}

TEST_F(Picker, WithoutTheBigMapTheMediumZoomsAndWithoutAnyMapTheFileIsNamed) {
    for (const char* name : {"WMAPSM.RLE", "WMAPMED.RLE"})
        fs::create_symlink(kImages / name, dir / name);
    input.imageDirectory = dir;
    // Zoomed on the medium map: the crop is 324 x 200 of 3200 x 2000 pixels,
    // so one canvas pixel is 360 / 6400 degrees.
    auto picked = pick("gclick 324 200\ngrclick 334 200\n");
    ASSERT_TRUE(picked);
    EXPECT_NEAR(picked->longitude / kDeg, 10 * 360.0 / 6400, 1e-9);
    fs::remove(dir / "WMAPSM.RLE");
    picked = pick("expect WMAPSM.RLE: world map not found\nkey Esc\n");
    EXPECT_FALSE(picked);
    sites.clear();
    picked = pick("gclick 100 100\nexpect Nearest Loc.: none\nkey Esc\n");
    EXPECT_FALSE(picked);
}

} // namespace
