// Observed Delta-T: the table the data tree ships (ASC/DELTAT.TAB, built
// from astronomia's data/deltat.js) against the monthly IERS/USNO values of
// the same package's data/deltat.txt, the joins to the polynomials, the
// reader of the file and the parser of its source.
#include "iers_delta_t.h"
#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
const fs::path kTree = TARVO_TEST_TREE;
const fs::path kShipped = kTree / "ASC/DELTAT.TAB";
const fs::path kAstronomia = kTree.parent_path() / "npm/node_modules/astronomia/data";

std::string readWhole(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ShippedTable : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kShipped))
            GTEST_SKIP() << "SKIPPED: no " << kShipped << " (build the data tree)";
        std::string message;
        ASSERT_TRUE(tarvo::loadDeltaTTable(kShipped, table, message)) << message;
        settings.observed = &table;
    }
    // Auto ΔT in seconds at the TT day count t.
    double autoSeconds(long double t) const {
        return static_cast<double>(tarvo::deltaT(t, settings) * tarvo::kSecondsPerDay);
    }
    double atYear(double y) const { return autoSeconds((y - 2000.0) * 365.25); }
    tarvo::DeltaTTable table;
    tarvo::DeltaTSettings settings;
};

// The monthly values 1973-2023 (IERS and USNO) at 0h UT of each first of
// the month, as the instant a user types (UT made TT with the same ΔT).
TEST_F(ShippedTable, AutoGivesTheMonthlyObservedValues) {
    const fs::path monthly = kAstronomia / "deltat.txt";
    if (!fs::exists(monthly))
        GTEST_SKIP() << "SKIPPED: no " << monthly << " (scripts/setup installs astronomia)";
    std::istringstream in(readWhole(monthly));
    int year, month, count = 0;
    double value, worst = 0, worstMid = 0, previous = NAN;
    long double previousT = 0;
    while (in >> year >> month >> value) {
        const long double ut = tarvo::calendarToDays(year, month, 1);
        const long double tt = tarvo::universalToTerrestrial(ut, settings);
        worst = std::max(worst, std::fabs(autoSeconds(tt) - value));
        if (std::isfinite(previous)) // mid-month: between its neighbours
            worstMid = std::max(
                worstMid, std::fabs(autoSeconds((tt + previousT) / 2) - (value + previous) / 2));
        previous = value, previousT = tt;
        ++count;
    }
    std::printf("%d monthly values: largest difference %.2e s, mid-month %.4f s\n", count, worst,
                worstMid);
    EXPECT_GT(count, 600);
    EXPECT_LT(worst, 1e-4);   // the table holds them; only the TT-UT shift of the instant
    EXPECT_LT(worstMid, 0.1); // between them the cubic stays with the observations
}

// An oracle of its own: the IERS daily series 1973-2020 (finals2000A.all and
// tai-utc.dat of the reference data), every fifth day.
TEST_F(ShippedTable, AutoFollowsTheIersDailySeries) {
    const auto daily = tarvo::testing::iersDeltaTByDay();
    if (daily.empty())
        GTEST_SKIP() << "SKIPPED: IERS files not found under " << TARVO_SHARED_DATA_DIR;
    double worst = 0;
    int count = 0;
    for (const auto& [mjd, value] : daily) {
        if (mjd % 5 != 0 || mjd > 59186) continue; // final values end 2020-12-03
        const long double ut = mjd + 2400000.5L - tarvo::kJulianDateJ2000;
        worst = std::max(
            worst, std::fabs(autoSeconds(tarvo::universalToTerrestrial(ut, settings)) - value));
        ++count;
    }
    std::printf("IERS daily values (%d): largest difference %.4f s\n", count, worst);
    EXPECT_GT(count, 3000);
    EXPECT_LT(worst, 0.05);
}

TEST_F(ShippedTable, EclipseDayOf2024) {
    const long double ut = tarvo::calendarToDays(2024, 4, 8.75);
    const long double tt = tarvo::universalToTerrestrial(ut, settings);
    const double seconds = static_cast<double>((tt - ut) * tarvo::kSecondsPerDay);
    std::printf("2024-04-08 18:00 UT: Delta-T %.3f s (polynomials %.3f s)\n", seconds,
                tarvo::deltaTAutoSeconds(2000.0 + static_cast<double>(tt) / 365.25));
    EXPECT_NEAR(seconds, 69.2, 0.05);
}

// Value and rate continuous at the four joins: table ends, bridge ends.
TEST_F(ShippedTable, JoinsAreContinuousInValueAndRate) {
    const double joins[] = {table.earlyYear, table.firstYear(), table.lastYear(), table.lateYear};
    for (double y : joins) {
        SCOPED_TRACE(y);
        constexpr double e = 1e-7, h = 1e-3;
        EXPECT_NEAR(atYear(y - e), atYear(y + e), 1e-5);
        const double rateBefore = (atYear(y - e) - atYear(y - e - h)) / h;
        const double rateAfter = (atYear(y + e + h) - atYear(y + e)) / h;
        EXPECT_NEAR(rateBefore, rateAfter, 0.01) << "s/yr";
        std::printf("join %.3f: %.4f s, rate %.4f / %.4f s/yr\n", y, atYear(y), rateBefore,
                    rateAfter);
    }
    EXPECT_NEAR(table.firstYear(), 1657.0, 0.1);
    EXPECT_GT(table.lastYear(), 2023.0);
}

// Outside the observed years and their bridges the polynomials hold, with
// the values they are known by.
TEST_F(ShippedTable, PolynomialsHoldOutsideTheObservedYears) {
    EXPECT_NEAR(atYear(2150.0), 328.48, 1e-9);
    for (double y : {-1000.0, 0.0, 1000.0, 1599.0, table.earlyYear - 0.01, table.lateYear + 0.01,
                     2100.0, 2500.0})
        EXPECT_EQ(atYear(y), tarvo::deltaTAutoSeconds(y)) << y;
    // Inside, the observations: 2000.0 (the polynomial says 63.8303 s).
    EXPECT_NEAR(atYear(2000.0), 63.83, 0.02);
    // Fixed and Custom never look at the table.
    tarvo::DeltaTSettings fixed{tarvo::DeltaTMode::Fixed, 42.0, 0, 0, &table};
    EXPECT_NEAR(static_cast<double>(tarvo::deltaT(0, fixed) * tarvo::kSecondsPerDay), 42.0, 1e-12);
}

// ---- the file ------------------------------------------------------------------------

std::vector<tarvo::DeltaTSample> someSamples() {
    return {{1990.0, 56.86}, {1990.5, 57.1}, {1991.0, 57.57}, {1991.5, 57.9}, {1992.0, 58.31}};
}

TEST(DeltaTTableFile, RoundTripsAndRefusesDamage) {
    const std::string good = tarvo::formatDeltaTTable(someSamples(), "test");
    tarvo::DeltaTTable table;
    std::string message;
    ASSERT_TRUE(tarvo::parseDeltaTTable(good, "DELTAT.TAB", table, message)) << message;
    ASSERT_EQ(table.years.size(), 5u);
    EXPECT_DOUBLE_EQ(table.seconds[2], 57.57);
    const tarvo::DeltaTTable kept = table;
    auto refused = [&](const std::string& text, const char* what) {
        message.clear();
        tarvo::DeltaTTable t = kept;
        EXPECT_FALSE(tarvo::parseDeltaTTable(text, "DELTAT.TAB", t, message)) << what;
        EXPECT_NE(message.find("DELTAT.TAB"), std::string::npos) << what << ": " << message;
        EXPECT_EQ(t.seconds, kept.seconds) << what;
    };
    refused(good.substr(0, good.find("1991.5") - 4), "truncated to three values");
    refused(good + "   1993.000000  junk\r\n", "text where a number belongs");
    refused(good + "   1993.000000  60.0  61.0\r\n", "three numbers");
    refused(good + "   1991.000000  60.0\r\n", "years going back");
    refused(good + "   1992.000001  60.0\r\n", "two values within a day");
    refused(good + "   1993.000000  1e9\r\n", "Delta-T out of range");
    refused(good + "   nan  60\r\n", "not a number");
    refused(std::string("\x7f\x45\x4c\x46\x02\x01\x01\0\0\0\r\n\x01\x02", 15) + good, "garbage");
    std::string many = "h\r\nh\r\n";
    for (int k = 0; k < 100001; ++k) many += std::to_string(1000 + k * 0.01) + " 1\n";
    refused(many, "oversized: more than 100 000 values");
    // LF line ends and a trailing blank line are fine.
    std::string lf = good;
    for (std::size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    EXPECT_TRUE(tarvo::parseDeltaTTable(lf + "\n", "DELTAT.TAB", table, message)) << message;
}

TEST(DeltaTTableFile, MissingAndOversizedFiles) {
    const fs::path dir = fs::temp_directory_path() / ("tarvo-dt-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    tarvo::DeltaTTable table;
    std::string message;
    EXPECT_FALSE(tarvo::loadDeltaTTable(dir / "DELTAT.TAB", table, message));
    EXPECT_NE(message.find("DELTAT.TAB"), std::string::npos);
    {
        std::ofstream big(dir / "BIG.TAB", std::ios::binary);
        big.seekp(5 << 20);
        big.put('1');
    }
    EXPECT_FALSE(tarvo::loadDeltaTTable(dir / "BIG.TAB", table, message));
    EXPECT_NE(message.find("too large"), std::string::npos);
    EXPECT_TRUE(table.empty());
    fs::remove_all(dir);
}

// The cubic passes through every value and its bridges meet the
// polynomials 40 years out.
TEST(DeltaTTable, InterpolatesThroughTheValuesAndBridgesToThePolynomials) {
    const tarvo::DeltaTTable t = tarvo::makeDeltaTTable(someSamples());
    for (const auto& s : someSamples())
        EXPECT_NEAR(*tarvo::observedDeltaTSeconds(t, s.year), s.seconds, 1e-12);
    EXPECT_NEAR(*tarvo::observedDeltaTSeconds(t, 1950.0), tarvo::deltaTAutoSeconds(1950.0), 1e-9);
    EXPECT_NEAR(*tarvo::observedDeltaTSeconds(t, 2032.0), tarvo::deltaTAutoSeconds(2032.0), 1e-9);
    EXPECT_FALSE(tarvo::observedDeltaTSeconds(t, 2032.1));
    EXPECT_FALSE(tarvo::observedDeltaTSeconds(t, 1949.9));
    EXPECT_TRUE(tarvo::makeDeltaTTable({{2000, 1}, {2001, 2}, {2002, 3}}).empty());
}

// ---- the source: astronomia's data/deltat.js ----------------------------------------

const char* const kModule = R"(/** DO NOT EDIT */
const m = {
  historic: {
    table: [44, 43, 43.5, 41],
    first: 1657,
    last: 1658.5
  },
  data: {
    table: [43.47, 43.56, 43.67],
    first: 1973.0849315068492,
    firstYM: [1973, 11],
    last: 1973.2,
    lastYM: [1974, 1]
  },
  prediction: {
    table: [43.60, 43.75, 44.0],
    first: 1973.75,
    last: 1974.25
  }
};
export default m;
)";

TEST(AstronomiaDeltaT, ParsesTheModuleAndRefusesDamage) {
    tarvo::AstronomiaDeltaT parsed;
    std::string message;
    ASSERT_TRUE(tarvo::parseAstronomiaDeltaT(kModule, parsed, message)) << message;
    ASSERT_EQ(parsed.historic.size(), 4u);
    ASSERT_EQ(parsed.monthly.size(), 3u);
    ASSERT_EQ(parsed.prediction.size(), 3u);
    EXPECT_NEAR(parsed.historic[3].year, 1658.5, 0.01);
    // December 1973 then January 1974, at 0h of the first.
    EXPECT_NEAR(parsed.monthly[2].year, 2000.0 + tarvo::calendarToDays(1974, 1, 1) / 365.25, 1e-12);
    EXPECT_DOUBLE_EQ(parsed.monthly[1].seconds, 43.56);

    const std::string module = kModule;
    auto refused = [&](const std::string& text, const char* what) {
        tarvo::AstronomiaDeltaT r;
        EXPECT_FALSE(tarvo::parseAstronomiaDeltaT(text, r, message)) << what;
        EXPECT_FALSE(message.empty()) << what;
    };
    refused(module.substr(0, module.size() / 2), "truncated");
    refused("", "empty");
    refused("\x89PNG garbage {[}]", "garbage");
    std::string wrongCount = module;
    wrongCount.replace(wrongCount.find("lastYM: [1974, 1]"), 17, "lastYM: [1974, 5]");
    refused(wrongCount, "monthly count against the span");
    std::string badNumber = module;
    badNumber.replace(badNumber.find("43.56"), 5, "4x.56");
    refused(badNumber, "malformed number");
}

TEST(AstronomiaDeltaT, PredictionsAreKeptOnlyWhereTheyContinueTheObservations) {
    tarvo::AstronomiaDeltaT parsed;
    std::string message, note;
    ASSERT_TRUE(tarvo::parseAstronomiaDeltaT(kModule, parsed, message));
    // 43.60 .. 43.75 around the last month (43.67): within 0.2 s, kept, shifted.
    auto samples = tarvo::observedDeltaTSamples(parsed, note);
    EXPECT_NE(note.find("kept"), std::string::npos) << note;
    EXPECT_NEAR(samples.back().year, parsed.prediction.back().year, 1e-9);
    // The half-yearly values stop before the monthly ones begin.
    EXPECT_EQ(samples.size(), 4u + 3u + 1u);
    parsed.prediction = {{1973.75, 42.0}, {1974.0, 42.1}, {1974.25, 42.2}};
    samples = tarvo::observedDeltaTSamples(parsed, note);
    EXPECT_NE(note.find("left out"), std::string::npos) << note;
    EXPECT_DOUBLE_EQ(samples.back().seconds, 43.67);
}

TEST(AstronomiaDeltaT, TheInstalledModuleParses) {
    const fs::path module = kAstronomia / "deltat.js";
    if (!fs::exists(module))
        GTEST_SKIP() << "SKIPPED: no " << module << " (scripts/setup installs astronomia)";
    tarvo::AstronomiaDeltaT parsed;
    std::string message, note;
    ASSERT_TRUE(tarvo::parseAstronomiaDeltaT(readWhole(module), parsed, message)) << message;
    EXPECT_GT(parsed.historic.size(), 600u);
    EXPECT_GT(parsed.monthly.size(), 600u);
    const auto samples = tarvo::observedDeltaTSamples(parsed, note);
    std::printf("deltat.js: %zu half-yearly, %zu monthly, %zu predicted; %s\n",
                parsed.historic.size(), parsed.monthly.size(), parsed.prediction.size(),
                note.c_str());
    for (std::size_t k = 1; k < samples.size(); ++k)
        ASSERT_GT(samples[k].year, samples[k - 1].year);
}

} // namespace
