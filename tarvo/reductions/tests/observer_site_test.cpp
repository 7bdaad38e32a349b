// The observer's site against ERFA's geodetic-to-geocentric transformation
// (eraGd2gce on the same ellipsoid), and the observer vector's motion
// against the derivative of its own position.
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
const double kFlattening = 1.0 - std::sqrt(1.0 - tarvo::kEarthEccentricitySquared);

TEST(SiteVectorAgainstErfa, GeodeticToGeocentricWithinOneMillimetre) {
    const double latitudes[] = {0.0, 1e-9, 12.5, 45.0, 51.4779, 89.9, 90.0, -33.9, -90.0};
    const double heights[] = {0.0, 2400.0, -420.0, 5000.0};
    for (double lat : latitudes)
        for (double heightM : heights)
            for (double lon : {0.0, 17.3, -155.47, 180.0}) {
                tarvo::ObserverSite site{lat * kDeg, lon * kDeg, heightM * 1e-9, ""};
                const auto v = tarvo::siteVectorAt(site, lon * kDeg);
                double xyz[3];
                ASSERT_EQ(eraGd2gce(tarvo::kEarthEquatorialRadiusGm * 1e9, kFlattening, lon * kDeg, lat * kDeg,
                                    heightM, xyz),
                          0);
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(v[k] * 1e9, xyz[k], 1e-3) << "lat " << lat << " h " << heightM << " axis " << k;
            }
}

TEST(ObserverVector, OffGivesZeroVectorsButStillTheSiderealTime) {
    tarvo::ObserverSite site{0.8, 0.2, 1e-7, "x"};
    const auto s = tarvo::observerVector(site, 100.25L, 0.0008L, 0.0, false);
    EXPECT_EQ(s.position, (tarvo::PlaceVector{0, 0, 0}));
    EXPECT_EQ(s.velocity, (tarvo::PlaceVector{0, 0, 0}));
    EXPECT_DOUBLE_EQ(s.localSiderealTime, static_cast<double>(tarvo::siderealTime(100.25L - 0.0008L, 0.2L)));
}

TEST(ObserverVector, VelocityAndAccelerationAreTheRotatingSitesDerivatives) {
    tarvo::ObserverSite site{-0.6, 2.0, 2e-6, "x"};
    const double eqEquinoxes = 3e-5;
    const auto s = tarvo::observerVector(site, 8000.0L, 0.0L, eqEquinoxes, true);
    // Rotating the site by ±ω h about the pole: central differences.
    const double h = 1e-4, w = tarvo::kEarthRotationRate;
    const auto ahead = tarvo::siteVectorAt(site, s.localSiderealTime + w * h);
    const auto behind = tarvo::siteVectorAt(site, s.localSiderealTime - w * h);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(s.velocity[k], (ahead[k] - behind[k]) / (2 * h), 5e-9); // truncation (ωh)²/6
        EXPECT_NEAR(s.acceleration[k], (ahead[k] - 2 * s.position[k] + behind[k]) / (h * h), 1e-7);
    }
    EXPECT_DOUBLE_EQ(s.localSiderealTime, static_cast<double>(tarvo::siderealTime(8000.0L, 2.0L)) + eqEquinoxes);
}

// ---- elongation, phase, magnitude: geometry checked with ERFA's eraSepp ----

TEST(PhaseAndMagnitude, SunAtOneAuHasItsReferenceMagnitude) {
    const double au = 149.5978707;
    const auto p = tarvo::phaseAndMagnitude(0, {0, 0, 0}, {au, 0, 0}, {0, 0, 0}, {au, 0.384, 0}, {}, au, false);
    EXPECT_TRUE(p.magnitudeShown);
    EXPECT_NEAR(p.magnitude, -26.86, 1e-12);
    EXPECT_EQ(p.elongationDeg, 0.0);
    EXPECT_EQ(p.illuminatedFraction, 1.0);
}

TEST(PhaseAndMagnitude, CentreBodyGetsNoMagnitudeAndNoLogOfZero) {
    const double au = 149.5978707;
    const auto p = tarvo::phaseAndMagnitude(3, {au, 0, 0}, {au, 0, 0}, {0, 0, 0}, {au, 0.384, 0}, {5.0}, au, true);
    EXPECT_FALSE(p.magnitudeShown);
    EXPECT_TRUE(std::isfinite(p.magnitude));
    const auto sun = tarvo::phaseAndMagnitude(0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {}, au, false);
    EXPECT_FALSE(sun.magnitudeShown);
}

TEST(PhaseAndMagnitude, ElongationsAgreeWithErfaSeparationsAndCarryTheirSide) {
    const double au = 149.5978707;
    tarvo::PlaceVector sun{0, 0, 0}, observer{au, 0, 0}, moon{au + 0.3, 0.2, 0.01}, body{2.0 * au, 1.5 * au, 0.3 * au};
    const auto p = tarvo::phaseAndMagnitude(7, body, observer, sun, moon, {7.0}, au, true);
    double seen[3] = {body[0] - observer[0], body[1] - observer[1], body[2] - observer[2]};
    double toSun[3] = {-au, 0, 0}, toMoon[3] = {0.3, 0.2, 0.01};
    EXPECT_NEAR(std::fabs(p.elongationDeg), eraSepp(seen, toSun) * 180 / std::numbers::pi, 1e-10);
    EXPECT_NEAR(std::fabs(p.lunarElongationDeg), eraSepp(seen, toMoon) * 180 / std::numbers::pi, 1e-10);
    // Sign of the z component of (P - O) x (O - S): (1, 1.5) x (1, 0) -> -1.5 AU², negative.
    EXPECT_LT(p.elongationDeg, 0.0);
    const auto mirrored = tarvo::phaseAndMagnitude(7, {body[0], -body[1], body[2]}, observer, sun, moon, {7.0}, au, true);
    EXPECT_GT(mirrored.elongationDeg, 0.0);
}

TEST(PhaseAndMagnitude, MoonsOwnLunarElongationIsZero) {
    const double au = 149.5978707;
    tarvo::PlaceVector moon{au + 0.3, 0.2, 0.01};
    const auto p = tarvo::phaseAndMagnitude(10, moon, {au, 0, 0}, {0, 0, 0}, moon, {0.21}, au, true);
    EXPECT_EQ(p.lunarElongationDeg, 0.0);
}

TEST(PhaseAndMagnitude, OppositionAndCometLaws) {
    const double au = 149.5978707;
    // Asteroid at opposition, r = 2 AU, Δ = 1 AU: k = 1, m = H + 5 log10(4.46e-5 r Δ).
    const auto p = tarvo::phaseAndMagnitude(20, {2 * au, 0, 0}, {au, 0, 0}, {0, 0, 0}, {au, 0.3, 0}, {5.0}, au, false);
    EXPECT_DOUBLE_EQ(p.illuminatedFraction, 1.0);
    EXPECT_NEAR(p.magnitude, 5.0 + 5 * std::log10(4.46e-5 * 2 * au * au), 1e-12);
    EXPECT_NEAR(std::fabs(p.elongationDeg), 180.0, 1e-6);
    tarvo::MagnitudeData comet{8.0, true, 10.0};
    const auto c = tarvo::phaseAndMagnitude(20, {2 * au, 0, 0}, {au, 0, 0}, {0, 0, 0}, {au, 0.3, 0}, comet, au, false);
    EXPECT_NEAR(c.magnitude, 8.0 + 0.0 + 10.0 * std::log10(2.0), 1e-12);
    // Behind the Sun from the observer's side, fully dark: capped, finite.
    const auto dark = tarvo::phaseAndMagnitude(20, {0.5 * au, 0, 0}, {au, 0, 0}, {0, 0, 0}, {au, 0.3, 0}, {5.0}, au, false);
    EXPECT_NEAR(dark.illuminatedFraction, 0.0, 1e-15);
    EXPECT_EQ(dark.magnitude, 99.9);
}

} // namespace
