// Observatory codes, the location library and GEOLOC.CRD.  Oracles: ERFA's geocentric-to-geodetic transformation (eraGc2gd)
// for the sites of the MPC list, the start-up reader of GEOLOC.CRD for the
// written file, and damaged files made here (truncated, oversized, garbage).
#include "tarvo/reductions/site_files.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace {

namespace fs = std::filesystem;
constexpr double kDeg = std::numbers::pi / 180.0;
const double kFlattening = 1.0 - std::sqrt(1.0 - tarvo::kEarthEccentricitySquared);

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("tarvo_sites_") + info->test_suite_name() + "_" + info->name());
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

const std::string kSmallCodes =
    "Code  Long.   cos      sin    Name\r\n"
    "000   0.0000 0.62411 +0.77873 Greenwich\r\n"
    "245                           Spitzer Space Telescope\r\n"
    "C51                           WISE\r\n"
    "E12 149.0642 0.85563 -0.51621 Siding Spring Survey\r\n"
    "EQ1  30.0000 1.00000 +0.00000 Equator Test Site\r\n"
    "568 204.5278 0.94171 +0.33725 Mauna Kea\r\n";

// ---- observatory codes ------------------------------------------------------------

TEST(ObservatoryCodesAgainstErfa, HeightsOfTheWholeMpcListWithinOneMetre) {
    const fs::path file = fs::path(TARVO_SHARED_DATA_DIR) / "mpc" / "ObsCodes.html";
    if (!fs::exists(file)) GTEST_SKIP() << "MPC list not present: " << file;
    std::ifstream in(file);
    std::string line;
    int sites = 0;
    double worstHeight = 0.0, worstLatitude = 0.0;
    while (std::getline(in, line)) {
        const auto c = tarvo::parseObservatoryLine(line);
        if (!c || !c->groundPosition) continue;
        const auto site = tarvo::siteFromParallaxConstants(c->rhoCosPhi, c->rhoSinPhi, c->longitudeDeg);
        const double a = tarvo::kEarthEquatorialRadiusGm * 1e9; // m
        double xyz[3] = {a * c->rhoCosPhi * std::cos(site.longitude), a * c->rhoCosPhi * std::sin(site.longitude),
                         a * c->rhoSinPhi};
        double lon, lat, height;
        ASSERT_EQ(eraGc2gde(a, kFlattening, xyz, &lon, &lat, &height), 0);
        worstHeight = std::max(worstHeight, std::fabs(site.heightGm * 1e9 - height));
        worstLatitude = std::max(worstLatitude, std::fabs(site.latitude - lat) / kDeg * 3600);
        EXPECT_NEAR(site.heightGm * 1e9, height, 1.0) << line;
        // The latitude is the h = 0 solution: about 0.5" per km of height
        // (1" for the 3-decimal constants of a few old sites).
        EXPECT_LT(std::fabs(site.latitude - lat) / kDeg * 3600, 1.5) << line;
        ++sites;
    }
    EXPECT_GT(sites, 2000);
    std::printf("observatory codes: %d ground sites, worst height %.4f m, worst latitude %.4f\" from eraGc2gd\n", sites,
                worstHeight, worstLatitude);
}

TEST(ObservatoryCodes, SpaceBasedRovingAndBlankCodesHaveNoGroundPosition) {
    for (const char* code : {"245", "500", "247", "248", "249", "250"}) EXPECT_TRUE(tarvo::isExcludedObservatoryCode(code));
    EXPECT_FALSE(tarvo::parseObservatoryLine("C51                           WISE")->groundPosition);
    EXPECT_FALSE(tarvo::parseObservatoryLine("500   0.000000.000000 0.000000Geocentric")->groundPosition);
    EXPECT_FALSE(tarvo::parseObservatoryLine("XYZ   abcdefgh ijklmno pqrstuvw Garbage")->groundPosition);
    EXPECT_FALSE(tarvo::parseObservatoryLine("12").has_value());
}

TEST_F(TempDir, ObservatoryLookupFindsGroundSitesAndRefusesTheRest) {
    const fs::path file = write("OBSCODES.TXT", kSmallCodes);
    const auto greenwich = tarvo::findObservatory(file, "000");
    ASSERT_EQ(greenwich.status, tarvo::ObservatoryLookup::Status::Found);
    EXPECT_EQ(greenwich.site.label, "Ob:000 Greenwich");
    EXPECT_NEAR(greenwich.site.latitude / kDeg, 51.4773, 0.001);
    const auto siding = tarvo::findObservatory(file, "E12");
    ASSERT_EQ(siding.status, tarvo::ObservatoryLookup::Status::Found);
    EXPECT_EQ(siding.site.label, "Ob:E12 Siding Spring S");
    EXPECT_LT(siding.site.latitude, 0.0);
    for (const char* code : {"245", "C51", "500", "999"})
        EXPECT_EQ(tarvo::findObservatory(file, code).status, tarvo::ObservatoryLookup::Status::NotFound) << code;
    // A site on the equator: no division by sin φ = 0.
    const auto equator = tarvo::findObservatory(file, "EQ1");
    ASSERT_EQ(equator.status, tarvo::ObservatoryLookup::Status::Found);
    EXPECT_EQ(equator.site.latitude, 0.0);
    EXPECT_TRUE(std::isfinite(equator.site.heightGm));
    EXPECT_NEAR(equator.site.heightGm * 1e9, 0.0, 1e-6);
}

TEST_F(TempDir, DamagedObservatoryFilesGiveMessagesNamingTheFile) {
    // Missing.
    auto r = tarvo::findObservatory(dir / "OBSCODES.TXT", "000");
    EXPECT_EQ(r.status, tarvo::ObservatoryLookup::Status::FileProblem);
    EXPECT_NE(r.message.find("OBSCODES.TXT"), std::string::npos);
    // Truncated in the middle of the Greenwich line: the code is there, its numbers are not.
    fs::path file = write("OBSCODES.TXT", kSmallCodes.substr(0, 50));
    EXPECT_EQ(tarvo::findObservatory(file, "000").status, tarvo::ObservatoryLookup::Status::NotFound);
    // Garbage bytes.
    std::string garbage(5000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 251);
    file = write("OBSCODES.TXT", garbage);
    EXPECT_NE(tarvo::findObservatory(file, "000").status, tarvo::ObservatoryLookup::Status::Found);
    // Oversized (a sparse file): refused before reading.
    file = dir / "OBSCODES.TXT";
    fs::resize_file(file, tarvo::kObservatoryFileBytesLimit + 1);
    r = tarvo::findObservatory(file, "000");
    EXPECT_EQ(r.status, tarvo::ObservatoryLookup::Status::FileProblem);
    EXPECT_NE(r.message.find("OBSCODES.TXT"), std::string::npos);
}

// ---- location library ----------------------------------------------------------------

TEST(GeoSites, LineLayoutRoundTripsThroughTheReader) {
    const tarvo::GeoSite s{"SYDNEY", "AUSTRALIA", -33.867, 151.207, 58};
    const std::string line = tarvo::formatGeoSiteLine(s);
    EXPECT_EQ(line.substr(0, 24), "SYDNEY                  ");
    EXPECT_EQ(line.substr(25, 19), "AUSTRALIA          ");
    EXPECT_EQ(line.substr(45, 7), "-33.867");
    EXPECT_EQ(line.substr(52, 8), " 151.207");
    const auto back = tarvo::parseGeoSiteLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "SYDNEY");
    EXPECT_EQ(back->region, "AUSTRALIA");
    EXPECT_DOUBLE_EQ(back->latitudeDeg, -33.867);
    EXPECT_DOUBLE_EQ(back->longitudeDeg, 151.207);
    EXPECT_EQ(back->heightM, 58);
}

TEST(GeoSites, ExactNamesComeFirstThenNamesContainingTheAnswerNearTheirStart) {
    const std::vector<tarvo::GeoSite> sites = {{"NEW YORK", "USA"}, {"YORK", "UK"},         {"ROME", "ITALY"},
                                               {"YORKTOWN", "USA"}, {"CITY OF YORK", "X"},  {"ST YORK", "Y"}};
    const auto m = tarvo::matchGeoSites(sites, "york  ");
    // "YORK" exactly, then "YORKTOWN" (from character 1) and "ST YORK" (from
    // character 4); "NEW YORK" has it from character 5, too late.
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0], 1u);
    EXPECT_EQ(m[1], 3u);
    EXPECT_EQ(m[2], 5u);
    EXPECT_TRUE(tarvo::matchGeoSites(sites, "").empty());
}

TEST_F(TempDir, DamagedLocationLibrariesAreReportedNotFatal) {
    const std::string good = tarvo::formatGeoSiteLine({"PARIS", "EUROPE", 48.8567, 2.3508, 35});
    // Truncated last line and garbage lines are skipped and counted.
    fs::path file = write("GEOSITES.DAT", good + "\r\n" + good.substr(0, 40) + "\r\n" +
                                              std::string(70, 'x') + "\r\nnot a site at all\r\n");
    auto load = tarvo::readGeoSites(file);
    EXPECT_TRUE(load.ok);
    ASSERT_EQ(load.sites.size(), 1u);
    EXPECT_EQ(load.skippedLines, 3u);
    EXPECT_NE(load.message.find("GEOSITES.DAT"), std::string::npos);
    // Oversized.
    fs::resize_file(file, tarvo::kGeoSitesFileBytesLimit + 1);
    load = tarvo::readGeoSites(file);
    EXPECT_FALSE(load.ok);
    EXPECT_TRUE(load.sites.empty());
    EXPECT_NE(load.message.find("GEOSITES.DAT"), std::string::npos);
    // Missing.
    load = tarvo::readGeoSites(dir / "NONE.DAT");
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.message.find("NONE.DAT"), std::string::npos);
    // Out-of-range numbers.
    EXPECT_FALSE(tarvo::parseGeoSiteLine(tarvo::formatGeoSiteLine({"X", "Y", 95.0, 0.0, 0})));
}

// ---- GEOLOC.CRD --------------------------------------------------------------------

TEST_F(TempDir, SiteFileIsWrittenInItsMasksAndReadsBackAtStartUp) {
    tarvo::ObserverSite site{-33.867 * kDeg, 151.207 * kDeg, 58e-9, "Loc: SYDNEY"};
    EXPECT_EQ(tarvo::formatSiteFile(site), "-33.867000  151.207000     58.0\r\nLoc: SYDNEY\r\n");
    std::string message;
    const fs::path file = dir / "GEOLOC.CRD";
    ASSERT_TRUE(tarvo::writeSiteFile(file, site, message)) << message;
    tarvo::SiteRecord back;
    ASSERT_EQ(tarvo::readSiteFile(file, back, message), tarvo::SiteFileStatus::Read) << message;
    EXPECT_NEAR(back.latitudeDeg, -33.867, 1e-9);
    EXPECT_NEAR(back.longitudeDeg, 151.207, 1e-9);
    EXPECT_NEAR(back.heightM, 58.0, 1e-9);
    EXPECT_EQ(back.label, "Loc: SYDNEY");
    EXPECT_FALSE(fs::exists(dir / "GEOLOC.CRD.tmp"));
    // A label with a line break stays one line.
    site.label = "two\nlines";
    EXPECT_EQ(tarvo::formatSiteFile(site).substr(33), "two lines\r\n");
}

// Every site the dialogs can make is read back at the next start: both
// hemispheres, longitudes out to the date line on either side (the location
// list holds sites near -176), the height limits of manual input.
TEST_F(TempDir, SiteFileRoundTripsOverTheWholeRangeOfSites) {
    const fs::path file = dir / "GEOLOC.CRD";
    int cases = 0;
    for (const double lat : {-90.0, -45.5, -0.000001, 0.0, 33.3, 90.0})
        for (const double lon : {-180.0, -176.6581, -120.0, -100.0, -99.999999, -0.5, 0.0, 12.5,
                                 151.207, 179.999999, 180.0})
            for (const double h : {-12000.0, -30.0, 0.0, 58.0, 8848.9, 99999.0}) {
                const tarvo::ObserverSite site{lat * kDeg, lon * kDeg, h * 1e-9, "Custom Site"};
                std::string message;
                ASSERT_TRUE(tarvo::writeSiteFile(file, site, message)) << message;
                EXPECT_EQ(slurp(file).find('%'), std::string::npos) << slurp(file);
                tarvo::SiteRecord back;
                ASSERT_EQ(tarvo::readSiteFile(file, back, message), tarvo::SiteFileStatus::Read)
                    << lat << " " << lon << " " << h << ": " << message << "\n"
                    << slurp(file);
                EXPECT_NEAR(back.latitudeDeg, lat, 1e-6);
                EXPECT_NEAR(back.longitudeDeg, lon, 1e-6);
                EXPECT_NEAR(back.heightM, h, 0.05);
                ++cases;
            }
    EXPECT_EQ(cases, 6 * 11 * 6);
}

// A file written before the longitude field was wide enough holds the
// overflow mark; it still reads, so that such a site is not lost.
TEST_F(TempDir, SiteFileWithAnOverflowedLongitudeStillReads) {
    const fs::path file = write("GEOLOC.CRD", " 51.880000 %-176.658100     0.0\r\nLoc: ADAK\r\n");
    tarvo::SiteRecord site;
    std::string message;
    ASSERT_EQ(tarvo::readSiteFile(file, site, message), tarvo::SiteFileStatus::Read) << message;
    EXPECT_DOUBLE_EQ(site.longitudeDeg, -176.6581);
    EXPECT_EQ(site.label, "Loc: ADAK");
}

TEST_F(TempDir, SiteFileKeepsTheWholeLabelLineAndRefusesDamage) {
    const fs::path file = write("GEOLOC.CRD", " 45.123456 -71.500000   350.0\r\nMont Megantic, Quebec\r\n");
    tarvo::SiteRecord site;
    std::string message;
    ASSERT_EQ(tarvo::readSiteFile(file, site, message), tarvo::SiteFileStatus::Read) << message;
    EXPECT_DOUBLE_EQ(site.latitudeDeg, 45.123456); // latitude first, as written
    EXPECT_DOUBLE_EQ(site.longitudeDeg, -71.5);
    EXPECT_DOUBLE_EQ(site.heightM, 350.0);
    EXPECT_EQ(site.label, "Mont Megantic, Quebec");
    for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
             {"G1", ""}, {"G2", "north by northwest\r\n"}, {"G3", "95 0 0\r\nPole\r\n"},
             {"G4", std::string(3 << 20, '1')}}) {
        const fs::path damaged = write(name, text);
        tarvo::SiteRecord kept = site;
        message.clear();
        EXPECT_EQ(tarvo::readSiteFile(damaged, kept, message), tarvo::SiteFileStatus::Damaged) << name;
        EXPECT_NE(message.find(damaged.string()), std::string::npos) << message;
        EXPECT_EQ(kept.label, site.label) << "a damaged file leaves the site as it was";
    }
    EXPECT_EQ(tarvo::readSiteFile(dir / "none", site, message), tarvo::SiteFileStatus::Unreadable);
}

TEST_F(TempDir, UnwritableSiteFileLeavesTheOldOneAlone) {
    std::string message;
    EXPECT_FALSE(tarvo::writeSiteFile(dir / "missing-dir" / "GEOLOC.CRD", {}, message));
    EXPECT_NE(message.find("GEOLOC.CRD"), std::string::npos);
}

} // namespace
