// Horizontal coordinates against ERFA (eraHd2ae: azimuth from north through
// east, so the suite's south-based azimuth is ERFA's plus 180°), and the
// rates of the angular table against numerical derivatives of the angles.
#include "tarvo/reductions/places.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(HorizontalAgainstErfa, AzimuthFromSouthAndAltitudeToRounding) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> turn(0.0, 2 * std::numbers::pi), lat(-std::numbers::pi / 2, std::numbers::pi / 2);
    double worst = 0.0;
    for (int n = 0; n < 20000; ++n) {
        const double alpha = turn(random), delta = lat(random), phi = lat(random), theta = turn(random);
        const auto h = tarvo::toHorizontal(alpha, delta, phi, theta);
        double az, el;
        eraHd2ae(theta - alpha, delta, phi, &az, &el);
        const double expectedAz = std::fmod(az + std::numbers::pi, 2 * std::numbers::pi);
        double dAz = std::remainder(h.azimuthDeg * kDeg - expectedAz, 2 * std::numbers::pi);
        if (std::fabs(el) > 1.5707) dAz = 0.0; // azimuth meaningless within 1e-4 rad of the zenith
        worst = std::max({worst, std::fabs(dAz), std::fabs(h.altitudeDeg * kDeg - el)});
        EXPECT_NEAR(h.altitudeDeg * kDeg, el, 1e-12);
        EXPECT_NEAR(dAz, 0.0, 1e-12);
        EXPECT_GE(h.azimuthDeg, 0.0);
        EXPECT_LT(h.azimuthDeg, 360.0);
    }
    std::printf("horizontal coordinates: worst difference from eraHd2ae %.3g rad\n", worst);
}

TEST(HorizontalEdgeCases, MeridianWestEastAndZenith) {
    const double phi = 45 * kDeg, theta = 1.0;
    // On the meridian south of the zenith.
    auto h = tarvo::toHorizontal(theta, 10 * kDeg, phi, theta);
    EXPECT_EQ(h.azimuthDeg, 0.0);
    EXPECT_FALSE(std::signbit(h.azimuthDeg));
    EXPECT_NEAR(h.altitudeDeg, 55.0, 1e-12);
    // Due west and due east on the celestial equator, six hours from the meridian.
    h = tarvo::toHorizontal(theta - std::numbers::pi / 2, 0.0, phi, theta);
    EXPECT_NEAR(h.azimuthDeg, 90.0, 1e-12);
    h = tarvo::toHorizontal(theta + std::numbers::pi / 2, 0.0, phi, theta);
    EXPECT_NEAR(h.azimuthDeg, 270.0, 1e-12);
    // North of the zenith.
    h = tarvo::toHorizontal(theta, 80 * kDeg, phi, theta);
    EXPECT_NEAR(h.azimuthDeg, 180.0, 1e-12);
    // Exactly at the zenith: finite numbers, altitude 90.
    h = tarvo::toHorizontal(theta, phi, phi, theta);
    EXPECT_NEAR(h.altitudeDeg, 90.0, 1e-12);
    EXPECT_TRUE(std::isfinite(h.azimuthDeg));
}

TEST(AngleRates, MatchNumericalDerivativesOfTheAngles) {
    const tarvo::PlaceVector p{120.0, -45.0, 33.0}, v{14.0, 38.0, -8.0};
    const auto r = tarvo::angleRates(p, v);
    const double h = 1e-4;
    const auto ahead = tarvo::sphericalAngles({p[0] + h * v[0], p[1] + h * v[1], p[2] + h * v[2]});
    const auto behind = tarvo::sphericalAngles({p[0] - h * v[0], p[1] - h * v[1], p[2] - h * v[2]});
    const double toArcsecPerHour = 180 / std::numbers::pi * 3600 / 24;
    const double first = (ahead.longitude - behind.longitude) / (2 * h) * toArcsecPerHour;
    const double second = (ahead.latitude - behind.latitude) / (2 * h) * toArcsecPerHour;
    ASSERT_TRUE(r.degrees); // these rates exceed 1000"/h
    EXPECT_NEAR(r.first * 3600, first, 1e-4 * std::fabs(first));
    EXPECT_NEAR(r.second * 3600, second, 1e-4 * std::fabs(second) + 1e-6);
    // Position angle: 90° - atan2(dδ, cos δ dα).
    const double cosDelta = std::cos(tarvo::sphericalAngles(p).latitude);
    double pa = 90.0 - std::atan2(second, cosDelta * first) * 180 / std::numbers::pi;
    if (pa < 0) pa += 360;
    EXPECT_NEAR(r.positionAngle, pa, 1e-6);
}

TEST(AngleRates, PolarAxisGivesZeroNotNaN) {
    const auto r = tarvo::angleRates({0.0, 0.0, 5.0}, {1.0, 2.0, 0.0});
    EXPECT_EQ(r.first, 0.0);
    EXPECT_EQ(r.second, 0.0);
    EXPECT_TRUE(std::isfinite(r.positionAngle));
    const auto a = tarvo::sphericalAngles({0.0, 0.0, -5.0});
    EXPECT_EQ(a.longitude, 0.0);
    EXPECT_NEAR(a.latitude, -std::numbers::pi / 2, 1e-15);
}

TEST(SphericalAngles, LongitudeStaysBelowAFullTurn) {
    // atan2 of a hair below the x axis plus 2π rounds to exactly 2π.
    const auto a = tarvo::sphericalAngles({1.0, -1e-20, 0.0});
    EXPECT_GE(a.longitude, 0.0);
    EXPECT_LT(a.longitude, 2 * std::numbers::pi);
    EXPECT_NEAR(tarvo::sphericalAngles({0.0, -1.0, 0.0}).longitude, 1.5 * std::numbers::pi, 1e-15);
}

TEST(AngleRates, SlowMotionStaysInArcsecondsPerHour) {
    const auto r = tarvo::angleRates({1.0, 0.0, 0.0}, {0.0, 1e-4, 0.0});
    EXPECT_FALSE(r.degrees);
    EXPECT_NEAR(r.first, 1e-4 * 180 / std::numbers::pi * 150, 1e-9);
    EXPECT_NEAR(r.positionAngle, 90.0, 1e-9);
}

} // namespace
