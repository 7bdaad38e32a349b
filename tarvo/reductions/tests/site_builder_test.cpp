// The data-tree builder's site files read back by the readers of the
// location dialog.  Oracles: the published geodetic positions the default
// OBSCODES.TXT is written from, tzdata's zone1970.tab for GEOSITES.DAT, and
// the MPC list itself for --mpc-obscodes.
#include "tarvo/reductions/site_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace {

namespace fs = std::filesystem;
constexpr double kDeg = std::numbers::pi / 180.0;

class BuiltTree : public ::testing::Test {
  protected:
    void SetUp() override {
        builder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
        if (!fs::exists(builder)) GTEST_SKIP() << "builder not built: " << builder;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        tree = fs::temp_directory_path() / (std::string("tarvo_site_tree_") + info->name());
        fs::remove_all(tree);
    }
    void TearDown() override { fs::remove_all(tree); }
    void build(const std::string& only, const std::string& extra = "") {
        const std::string command = "\"" + builder.string() + "\" --tree \"" + tree.string() + "\" --only " + only + " " +
                                    extra + " > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    fs::path builder, tree;
};

TEST_F(BuiltTree, DefaultObservatoriesGiveBackTheirPublishedSites) {
    build("OBSCODES");
    const fs::path file = tree / "CFG" / "OBSCODES.TXT";
    struct Published {
        const char* code;
        double lat, lon, heightM;
    };
    for (const Published& p : {Published{"000", 51.477928, 0.0, 46}, Published{"309", -24.62733, 289.59583, 2635},
                               Published{"568", 19.82611, 204.52778, 4200}, Published{"950", 28.76056, 342.11833, 2326}}) {
        const auto found = tarvo::findObservatory(file, p.code);
        ASSERT_EQ(found.status, tarvo::ObservatoryLookup::Status::Found) << p.code;
        // Six decimals of ρ hold the site to about 6 m; the latitude is the
        // h = 0 solution, 0.5" per km of height.
        EXPECT_NEAR(found.site.heightGm * 1e9, p.heightM, 10.0) << p.code;
        EXPECT_NEAR(found.site.latitude / kDeg, p.lat, (0.3 + 0.6 * p.heightM / 1000) / 3600) << p.code;
        EXPECT_NEAR(found.site.longitude / kDeg, p.lon, 1e-5) << p.code;
    }
    EXPECT_EQ(tarvo::findObservatory(file, "500").status, tarvo::ObservatoryLookup::Status::NotFound);
}

TEST_F(BuiltTree, CompleteMpcListFromItsWebPage) {
    const fs::path mpc = fs::path(TARVO_SHARED_DATA_DIR) / "mpc" / "ObsCodes.html";
    if (!fs::exists(mpc)) GTEST_SKIP() << "MPC list not present: " << mpc;
    build("OBSCODES", "--mpc-obscodes=\"" + mpc.string() + "\"");
    const fs::path file = tree / "CFG" / "OBSCODES.TXT";
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Code  Long.   cos      sin    Name\r");
    EXPECT_EQ(tarvo::findObservatory(file, "709").site.label, "Ob:709 W & B Observato");
    EXPECT_EQ(tarvo::findObservatory(file, "Z99").status, tarvo::ObservatoryLookup::Status::Found);
    EXPECT_EQ(tarvo::findObservatory(file, "C51").status, tarvo::ObservatoryLookup::Status::NotFound);
}

TEST_F(BuiltTree, LocationLibraryHoldsEveryZoneCity) {
    const fs::path zones = "/usr/share/zoneinfo/zone1970.tab";
    if (!fs::exists(zones)) GTEST_SKIP() << "tzdata not installed: " << zones;
    build("GEOSITES");
    const auto load = tarvo::readGeoSites(tree / "CFG" / "GEOSITES.DAT");
    ASSERT_TRUE(load.ok) << load.message;
    EXPECT_EQ(load.skippedLines, 0u);
    std::ifstream in(zones);
    std::size_t zoneLines = 0;
    for (std::string line; std::getline(in, line);) zoneLines += !line.empty() && line[0] != '#';
    EXPECT_EQ(load.sites.size(), zoneLines);
    const auto paris = tarvo::matchGeoSites(load.sites, "paris");
    ASSERT_FALSE(paris.empty());
    const auto& p = load.sites[paris.front()];
    EXPECT_EQ(p.region, "EUROPE");
    EXPECT_NEAR(p.latitudeDeg, 48 + 52 / 60.0, 1e-3); // +4852+00220
    EXPECT_NEAR(p.longitudeDeg, 2 + 20 / 60.0, 1e-3);
    EXPECT_EQ(p.heightM, 0);
}

} // namespace
