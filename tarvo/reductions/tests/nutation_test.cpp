// Nutation: the principal term and the 63-term series.
// Oracles: ERFA eraNut80 (the complete 1980 IAU theory, 106 terms), the
// worked example 22.a of Meeus (1987 April 10.0 TD: Δψ = -3.788",
// Δε = +9.443"), and the values quoted for J2000.

#include "tarvo/reductions/frames.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tarvo;

double arcsec(long double radians) { return static_cast<double>(radians / kArcsecToRadians); }

TEST(Nutation1980, ValuesAtJ2000) {
    // Quoted as -13.920" and -5.774"; the series gives -13.9232" and -5.7739",
    // the complete theory (ERFA) -13.9234" and -5.7738".
    const Nutation n = nutation1980(0.0L);
    EXPECT_NEAR(arcsec(n.longitude), -13.920, 0.004);
    EXPECT_NEAR(arcsec(n.obliquity), -5.774, 0.0005);
    double dpsi, deps;
    eraNut80(2451545.0, 0.0, &dpsi, &deps);
    EXPECT_NEAR(arcsec(n.longitude), dpsi * 648000.0 / M_PI, 0.001);
    EXPECT_NEAR(arcsec(n.obliquity), deps * 648000.0 / M_PI, 0.001);
}

TEST(Nutation1980, PublishedWorkedExample) {
    const long double t = (2446895.5L - 2451545.0L) / 36525.0L;
    const Nutation n = nutation1980(t);
    EXPECT_NEAR(arcsec(n.longitude), -3.788, 0.0005);
    EXPECT_NEAR(arcsec(n.obliquity), 9.443, 0.0005);
}

TEST(NutationPrincipal, ValuesAtJ2000) {
    const long double node = principalNutationNode(0.0L);
    EXPECT_NEAR(static_cast<double>(node * 180.0L / 3.14159265358979323846L), 125.0446, 5e-5);
    const Nutation n = nutationPrincipal(0.0L);
    EXPECT_NEAR(arcsec(n.longitude), -17.2064 * std::sin(static_cast<double>(node)), 1e-12);
    EXPECT_NEAR(arcsec(n.obliquity), 9.2052 * std::cos(static_cast<double>(node)), 1e-12);
}

class NutationEpochs : public ::testing::TestWithParam<double> {};

TEST_P(NutationEpochs, SeriesAgreesWithErfaNut80) {
    const double startYear = GetParam();
    // A span of 20 years sampled every 11.3 days covers all the short periods.
    for (double days = 0; days < 20 * 365.25; days += 11.3) {
        const double t = (startYear - 2000.0) * 365.25 + days;
        double dpsi, deps;
        eraNut80(2451545.0, t, &dpsi, &deps);
        const Nutation n = nutation1980(t / 36525.0L);
        EXPECT_NEAR(arcsec(n.longitude), dpsi * 648000.0 / M_PI, 0.01) << t;
        EXPECT_NEAR(arcsec(n.obliquity), deps * 648000.0 / M_PI, 0.005) << t;
    }
}
INSTANTIATE_TEST_SUITE_P(From1800To2200, NutationEpochs,
                         ::testing::Values(1800.0, 1850.0, 1900.0, 1950.0, 1990.0, 2020.0, 2060.0,
                                           2100.0, 2140.0, 2180.0));

} // namespace
