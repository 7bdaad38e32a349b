// Key G of a run, by key script: the observing site picked on the world map
// with graphics-window clicks, then named by the page header. Oracle: the
// plate carrée mapping of the 864 x 400 canvas a 108 x 27 run console gives
// (pixel (240, 112) is 80 W, 39.6 N) and the location library of the tree.
#include "program_runner.h"

#include "tarvo/reductions/site_files.h"
#include "tarvo/views/nearest_site.h"

#include <gtest/gtest.h>

namespace {

class WorldMapLocation : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override {
        SetUpTree("IMG/WMAPSM.RLE", {"CFG"});
        if (!IsSkipped() &&
            !std::filesystem::exists(tarvo::testing::kBuiltTree / "BIN/PL431MND.BIN"))
            GTEST_SKIP() << "NO DATA SET 2 IN THE BUILT TREE";
    }
};

TEST_F(WorldMapLocation, AClickOnTheMapSelectsTheNearestSiteAndTheHeaderNamesIt) {
    const auto places = tarvo::readGeoSites(root / "CFG" / "GEOSITES.DAT");
    ASSERT_TRUE(places.ok) << places.message;
    const double lon = 240 * 360.0 / 864 - 180, lat = 90 - 112 * 180.0 / 400;
    const auto nearest = tarvo::findNearestSite(places.sites, lon, lat);
    ASSERT_TRUE(nearest);
    const std::string name = places.sites[nearest->index].name;

    const auto r = run("key Enter\n"
                       "key 2\n"
                       "text 2024,04,08\n"
                       "key Esc\n"
                       "key T\n"
                       "key G\n"
                       "expect Accept ? (Y or N)\n"
                       "key N\n"
                       "expect W   World Map\n"
                       "key W\n"
                       "expect Left Click: Zoom on Location\n"
                       "gclick 240 112\n" // in, around the point
                       "expect Left Click: Zoom to full map\n"
                       "gclick 240 112\n" // and out again, the cursor still there
                       "expect Nearest Loc.:" +
                       name +
                       "\n"
                       "key Enter\n"
                       "key Space\n"
                       "expect Loc: " +
                       name +
                       "\n"
                       "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_NE(tarvo::testing::readFile(root / "CFG" / "GEOLOC.CRD").find("Loc: " + name),
              std::string::npos);
}

} // namespace
