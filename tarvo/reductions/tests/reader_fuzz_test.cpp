// DELTAT.COF and GEOLOC.CRD through the fuzz matrix of the readers, and
// DELTAT.COF written and read back over the whole range of a double.
#include "fuzz_matrix.h"
#include "tarvo/reductions/site_files.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tarvo::testing::ReaderVerdict;

struct ReaderFuzz : ::testing::Test {
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              (std::string("tarvo_reader_fuzz_") + info->name() + "_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

// A refused DELTAT.COF leaves the coefficients as they were.
TEST_F(ReaderFuzz, DeltaTFile) {
    tarvo::testing::runReaderFuzz(
        dir, "DELTAT.COF", tarvo::formatDeltaTCoefficients(63.8285, 0.171645, 0.0052495),
        [](const fs::path& f) {
            tarvo::DeltaTSettings s{tarvo::DeltaTMode::Custom, 1.0, 2.0, 3.0};
            std::string message;
            const bool read = tarvo::readDeltaTCoefficients(f, s, message);
            if (!read && (s.a != 1.0 || s.b != 2.0 || s.c != 3.0))
                return ReaderVerdict{false, "coefficients changed"};
            const bool finite = std::isfinite(s.a) && std::isfinite(s.b) && std::isfinite(s.c);
            return ReaderVerdict{read && finite, read && !finite ? "no finite value" : message};
        });
}

// A refused GEOLOC.CRD leaves the site as it was; a site taken lies on the
// Earth.
TEST_F(ReaderFuzz, SiteFile) {
    constexpr double deg = std::numbers::pi / 180;
    const std::string good =
        tarvo::formatSiteFile({-33.867 * deg, 151.207 * deg, 58e-9, "Loc: SYDNEY"});
    tarvo::testing::FuzzOptions options;
    options.refusesOverlongLines = false; // the label line is the user's text
    tarvo::testing::runReaderFuzz(
        dir, "GEOLOC.CRD", good,
        [](const fs::path& f) {
            tarvo::SiteRecord site{1, 2, 3, "kept"};
            std::string message;
            const auto status = tarvo::readSiteFile(f, site, message);
            if (status != tarvo::SiteFileStatus::Read)
                return ReaderVerdict{false, site.label == "kept" ? message : "site changed"};
            const bool onEarth = std::fabs(site.latitudeDeg) <= 90 &&
                                 std::fabs(site.longitudeDeg) <= 360 &&
                                 std::fabs(site.heightM) < 1e6;
            return ReaderVerdict{onEarth, onEarth ? "" : "a site off the Earth taken"};
        },
        options);
}

// GEOSITES.DAT: damaged lines are skipped and counted in a message naming
// the file; no site taken lies off the Earth.
TEST_F(ReaderFuzz, LocationLibrary) {
    const std::string good =
        tarvo::formatGeoSiteLine({"PARIS", "EUROPE", 48.8567, 2.3508, 35}) + "\r\n" +
        tarvo::formatGeoSiteLine({"ADAK", "ALASKA", 51.88, -176.6581, 5}) + "\r\n";
    tarvo::testing::runReaderFuzz(dir, "GEOSITES.DAT", good, [](const fs::path& f) {
        const tarvo::GeoSitesLoad load = tarvo::readGeoSites(f);
        for (const tarvo::GeoSite& site : load.sites)
            if (!(std::fabs(site.latitudeDeg) <= 90 && std::fabs(site.longitudeDeg) <= 360))
                return ReaderVerdict{false, "a site off the Earth taken"};
        return ReaderVerdict{load.ok && load.skippedLines == 0 && load.message.empty(),
                             load.message};
    });
}

// Whatever finite coefficients the prompt takes are read back bit for bit.
TEST_F(ReaderFuzz, DeltaTFileRoundTripsOverTheRangeOfADouble) {
    const fs::path file = dir / "DELTAT.COF";
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double huge = std::numeric_limits<double>::max();
    for (const double v : {0.0, -0.0, tiny, -tiny, 1e-300, 1.0 / 3, -2.5e-7, 63.8285, 1e15,
                           -123456789.123456789, huge, -huge}) {
        const tarvo::DeltaTSettings s{tarvo::DeltaTMode::Custom, v, -v / 7, v * 0.5};
        std::string message;
        ASSERT_TRUE(tarvo::writeDeltaTCoefficients(file, s, message)) << message;
        tarvo::DeltaTSettings back;
        ASSERT_TRUE(tarvo::readDeltaTCoefficients(file, back, message)) << v << ": " << message;
        EXPECT_EQ(back.a, s.a) << v;
        EXPECT_EQ(back.b, s.b) << v;
        EXPECT_EQ(back.c, s.c) << v;
        EXPECT_EQ(std::signbit(back.a), std::signbit(s.a)) << v;
    }
}

} // namespace
