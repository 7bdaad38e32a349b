// Sidereal time.  Oracle: ERFA eraGmst82 (Greenwich mean sidereal time, IAU
// 1982) over 1800-2200; the value quoted for J2000; the equation of the
// equinoxes of the frame state for apparent sidereal time.

#include "tarvo/reductions/date_input.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/time_scales.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace tarvo;
constexpr long double kPi = 3.14159265358979323846264338327950288L;

TEST(SiderealTime, ValueAtJ2000) {
    EXPECT_NEAR(static_cast<double>(siderealTime(0.0L, 0.0L)), 280.46061837 * M_PI / 180.0, 1e-15);
    // Longitude adds directly, and the result stays in [0, 2π).
    const long double lst = siderealTime(0.0L, 2.0L);
    EXPECT_NEAR(static_cast<double>(lst), 280.46061837 * M_PI / 180.0 + 2.0 - 2 * M_PI, 1e-15);
    for (long double d = -80000.0L; d < 80000.0L; d += 1234.567L) {
        const long double s = siderealTime(d, -3.0L);
        EXPECT_GE(s, 0.0L);
        EXPECT_LT(s, 2.0L * kPi);
    }
}

class SiderealEpochs : public ::testing::TestWithParam<double> {};

TEST_P(SiderealEpochs, AgreesWithErfaGmst82) {
    const double year = GetParam();
    for (double fraction : {0.0, 0.1234, 0.5, 0.987654}) {
        const double d = std::floor((year - 2000.0) * 365.25) + fraction;
        const double erfa = eraGmst82(2451545.0, d);
        double diff = static_cast<double>(siderealTime(d, 0.0L)) - erfa;
        diff = std::remainder(diff, 2 * M_PI);
        EXPECT_LT(std::fabs(diff), 2e-9) << "year " << year << " fraction " << fraction;
    }
}
INSTANTIATE_TEST_SUITE_P(From1800To2200, SiderealEpochs,
                         ::testing::Values(1800.0, 1850.3, 1900.0, 1957.8, 2000.0, 2000.5, 2024.2,
                                           2050.0, 2100.0, 2150.7, 2200.0));

TEST(SiderealTime, ApparentAddsTheEquationOfTheEquinoxes) {
    FrameState frame;
    const PrecessionTable none;
    computeFrame(frame, 8765.4321L, FrameOptions{true, false, false, false}, none);
    // Δψ₁ cos ε with the principal term, whatever nutation the frame uses.
    EXPECT_NEAR(frame.equationOfEquinoxes,
                static_cast<double>(nutationPrincipal(8765.4321L / 36525.0L).longitude * frame.obliquity.cos),
                1e-18);
    const long double d = 8765.4321L;
    EXPECT_EQ(apparentSiderealTime(d, 0.3L, frame.equationOfEquinoxes),
              siderealTime(d, 0.3L) + frame.equationOfEquinoxes);
    // The principal term is within 1.3" of the full theory's equation of the equinoxes.
    const double eqeq = eraEqeq94(2451545.0, static_cast<double>(d));
    EXPECT_NEAR(frame.equationOfEquinoxes, eqeq, 1.3 * M_PI / 648000.0);
}

TEST(SiderealTime, DisplayText) {
    EXPECT_EQ(formatSiderealTime(0.0L), "00:00:00.0");
    // 280.46061837° = 18h 41m 50.548s.
    EXPECT_EQ(formatSiderealTime(siderealTime(0.0L, 0.0L)), "18:41:50.5");
    EXPECT_EQ(formatSiderealTime(2.0L * kPi - 1e-7L), "00:00:00.0");
}

} // namespace

namespace {

// The computer's zone offset comes from the operating system's zone rules
// (POSIX TZ strings here, so no zone database is needed).
TEST(ZoneOffset, FollowsTheZoneOfTheProcess) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    setenv("TZ", "IST-5:30", 1);
    tzset();
    EXPECT_EQ(tarvo::computerZoneOffsetHours(), 5.5);
    EXPECT_EQ(tarvo::readComputerClock().zoneOffsetHours, 5.5);
    setenv("TZ", "WEST+3", 1); // three hours west of Greenwich
    tzset();
    EXPECT_EQ(tarvo::computerZoneOffsetHours(), -3.0);
    if (saved) setenv("TZ", previous.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

} // namespace
