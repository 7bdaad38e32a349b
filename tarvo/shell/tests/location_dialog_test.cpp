// The location dialog through scripts: observatory codes, the location
// library and manual input, and what each writes to GEOLOC.CRD.
#include "tarvo/shell/location_dialog.h"

#include "console/console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace {

namespace fs = std::filesystem;
constexpr double kDeg = std::numbers::pi / 180.0;

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              (std::string("tarvo_sites_") + info->test_suite_name() + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path write(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
};

const std::string kSmallCodes = "Code  Long.   cos      sin    Name\r\n"
                                "000   0.0000 0.62411 +0.77873 Greenwich\r\n"
                                "245                           Spitzer Space Telescope\r\n"
                                "C51                           WISE\r\n"
                                "E12 149.0642 0.85563 -0.51621 Siding Spring Survey\r\n"
                                "EQ1  30.0000 1.00000 +0.00000 Equator Test Site\r\n"
                                "568 204.5278 0.94171 +0.33725 Mauna Kea\r\n";

// ---- the dialog, through scripts ---------------------------------------------------

class LocationDialog : public TempDir {
  protected:
    tarvo::LocationOutcome run(const std::string& script) {
        const fs::path path = write("script.txt", script);
        console::Options options;
        options.scriptPath = path.string();
        options.forceScript = true;
        console::InitConsoleTools(options);
        console::setSize(81, 27);
        console::clear();
        files.observatoryCodes = write("OBSCODES.TXT", kSmallCodes);
        files.siteFile = dir / "GEOLOC.CRD";
        files.geoSites = &sites;
        const auto outcome = tarvo::selectLocation(site, files);
        console::shutdownConsole();
        return outcome;
    }
    tarvo::ObserverSite site{51.4779 * kDeg, -0.0015 * kDeg, 46e-9, "Greenwich"};
    tarvo::LocationFiles files;
    std::vector<tarvo::GeoSite> sites{{"ROMA", "ITALIA", 41.9, 12.5, 20},
                                      {"ROMANO", "ITALIA", 45.6, 9.7, 0}};
};

TEST_F(LocationDialog, AcceptKeepsTheSiteAndWritesNothing) {
    EXPECT_EQ(run("expect Lat:    51.478\nexpect Lon:     0.002 (W)\nexpect   h:      46 m\nexpect "
                  "Accept ? (Y or N)\nkey Y\n"),
              tarvo::LocationOutcome::Kept);
    EXPECT_FALSE(fs::exists(dir / "GEOLOC.CRD"));
}

TEST_F(LocationDialog, ObservatoryCodeBecomesTheSiteAndGeolocCrd) {
    EXPECT_EQ(run("key N\nexpect O  Observatory Code\nkey O\ntext 12\ntext e12 \n"),
              tarvo::LocationOutcome::Changed);
    EXPECT_EQ(site.label, "Ob:E12 Siding Spring S");
    tarvo::SiteRecord written;
    std::string message;
    ASSERT_EQ(tarvo::readSiteFile(dir / "GEOLOC.CRD", written, message),
              tarvo::SiteFileStatus::Read);
    EXPECT_EQ(written.label, "Ob:E12 Siding Spring S");
}

TEST_F(LocationDialog, SpaceTelescopeCodeIsNotFound) {
    EXPECT_EQ(run("key N\nkey O\ntext 245\nexpect Obs. not found!\nkey Space\nexpect Accept ? (Y "
                  "or N)\nkey Y\n"),
              tarvo::LocationOutcome::Kept);
    EXPECT_FALSE(fs::exists(dir / "GEOLOC.CRD"));
}

TEST_F(LocationDialog, LibraryOffersCandidatesUntilOneIsAccepted) {
    EXPECT_EQ(run("key N\nkey L\ntext roma\nexpect ROMA  ITALIA  OK (Y or N) ?\nkey N\nexpect "
                  "ROMANO\nkey Y\n"),
              tarvo::LocationOutcome::Changed);
    EXPECT_EQ(site.label, "Loc: ROMANO");
    EXPECT_NEAR(site.latitude / kDeg, 45.6, 1e-12);
}

TEST_F(LocationDialog, ManualInputWithLatitudeBeyondThePoleIsClamped) {
    EXPECT_EQ(run("key N\nkey M\nexpect East Long. positive\ntext 95\ntext 190\ntext -30\n"),
              tarvo::LocationOutcome::Changed);
    EXPECT_EQ(site.label, "Custom Site");
    EXPECT_NEAR(site.latitude / kDeg, 90.0, 1e-12);
    EXPECT_NEAR(site.longitude / kDeg, -170.0, 1e-12);
    EXPECT_NEAR(site.heightGm * 1e9, -30.0, 1e-9);
}

TEST_F(LocationDialog, EscapeAtAPromptChangesNothing) {
    EXPECT_EQ(run("key N\nkey M\ntext 10\nkey Esc\n"), tarvo::LocationOutcome::Kept);
    EXPECT_EQ(site.label, "Greenwich");
    EXPECT_FALSE(fs::exists(dir / "GEOLOC.CRD"));
}

} // namespace
