// The ground point of a shadow axis, against axes built through chosen
// ground points (the geodetic point on the spheroid, turned by the sidereal
// time, and a body placed on a line through it): the point must come back.
#include "tarvo/events/shadow_point.h"

#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using tarvo::ShadowInput;
using Vec = std::array<long double, 3>;
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kRad = kPi / 180.0L;
constexpr long double R = 0.006378137L; // Gm

// The point of geodetic latitude phi, east longitude lon on the spheroid
// x^2 + y^2 + z^2 / (1 - e^2) = R^2, in the equator of date at UT ut.
Vec groundPoint(long double lonDeg, long double latDeg, long double ut, double eqeq) {
    const long double e2 = tarvo::kEarthSquaredEccentricity;
    const long double phi = latDeg * kRad;
    const long double N = R / std::sqrt(1.0L - e2 * std::sin(phi) * std::sin(phi));
    const long double theta = tarvo::apparentSiderealTime(ut, 0.0L, eqeq);
    const long double a = lonDeg * kRad + theta;
    return {N * std::cos(phi) * std::cos(a), N * std::cos(phi) * std::sin(a),
            N * (1.0L - e2) * std::sin(phi)};
}

// The local vertical (geodetic) and a direction above the horizon there.
Vec upward(long double lonDeg, long double latDeg, long double ut, double eqeq) {
    const long double phi = latDeg * kRad;
    const long double a = lonDeg * kRad + tarvo::apparentSiderealTime(ut, 0.0L, eqeq);
    return {std::cos(phi) * std::cos(a), std::cos(phi) * std::sin(a), std::sin(phi)};
}

ShadowInput axisThrough(const Vec& X, const Vec& s, long double ut, double eqeq) {
    ShadowInput in;
    const long double dO = 0.384L, dT = 149.6L; // Gm, Moon and Sun
    for (std::size_t k = 0; k < 3; ++k) {
        in.occulting[k] = X[k] + dO * s[k];
        in.occulted[k] = X[k] + dT * s[k];
    }
    in.radiusOcculting = 0.0017374L;
    in.radiusOcculted = 0.6957L;
    in.earthRadius = R;
    in.ut = ut;
    in.equationOfEquinoxes = eqeq;
    return in;
}

TEST(ShadowPoint, TheEarthShapeConstantIsTheSecondEccentricitySquared) {
    // 1/(1 - e^2) - 1, not e^2: the polar radius is R sqrt(1 - e^2).
    EXPECT_NEAR(static_cast<double>(tarvo::kEarthShapeK), 0.0067395, 5e-8);
    const Vec pole{0, 0, R * std::sqrt(1.0L - tarvo::kEarthSquaredEccentricity)};
    const long double k = tarvo::kEarthShapeK;
    EXPECT_NEAR(static_cast<double>(pole[2] * pole[2] * (1 + k) - R * R), 0.0, 1e-18);
}

TEST(ShadowPoint, AxesThroughChosenGroundPointsComeBackThere) {
    std::mt19937_64 random(20240408);
    std::uniform_real_distribution<double> lon(-180.0, 180.0), lat(-89.5, 89.5), unit(-1.0, 1.0);
    int points = 0;
    for (int n = 0; n < 2000; ++n) {
        const long double L = lon(random), B = lat(random), ut = 8800.0L + unit(random) * 3000;
        const double eqeq = 1e-5 * unit(random);
        const Vec X = groundPoint(L, B, ut, eqeq);
        // A direction at least 5 degrees above the local horizon.
        const Vec up = upward(L, B, ut, eqeq);
        Vec s{unit(random), unit(random), unit(random)};
        const long double len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        for (auto& c : s) c /= len;
        const long double lift = s[0] * up[0] + s[1] * up[1] + s[2] * up[2];
        if (lift < 0.09L) continue;
        const auto p = tarvo::shadowPoint(axisThrough(X, s, ut, eqeq));
        ASSERT_TRUE(p.exists);
        long double dLon = std::remainder(p.longitude - L, 360.0L);
        EXPECT_NEAR(static_cast<double>(dLon), 0.0, 1e-7) << L << " " << B;
        EXPECT_NEAR(static_cast<double>(p.latitude - B), 0.0, 1e-7) << L << " " << B;
        EXPECT_GT(p.longitude, -180.0L);
        EXPECT_LE(p.longitude, 180.0L);
        // The altitude of the axis direction above the geodetic horizon.
        EXPECT_NEAR(static_cast<double>(p.sinAltitude), static_cast<double>(lift), 1e-12);
        ++points;
    }
    EXPECT_GT(points, 500);
}

TEST(ShadowPoint, LongitudesEitherSideOfTheDateLineStayApart) {
    const long double ut = 9000.25L;
    for (long double L : {179.9999999L, -179.9999999L, 180.0L, 0.0L, -0.0000001L}) {
        const Vec X = groundPoint(L, 10.0L, ut, 0.0);
        const auto p = tarvo::shadowPoint(axisThrough(X, upward(L, 10.0L, ut, 0.0), ut, 0.0));
        ASSERT_TRUE(p.exists);
        const long double expected = L == -180.0L ? 180.0L : L;
        EXPECT_NEAR(static_cast<double>(std::remainder(p.longitude - expected, 360.0L)), 0.0, 1e-8)
            << static_cast<double>(L);
        EXPECT_GT(p.longitude, -180.0L);
        EXPECT_LE(p.longitude, 180.0L);
    }
}

TEST(ShadowPoint, AnAxisBesideTheEarthGivesNoPoint) {
    ShadowInput in;
    in.occulting = {0.0L, 0.0065L, 0.384L}; // beyond the equatorial radius, aimed along +z
    in.occulted = {0.0L, 0.0065L, 150.0L};
    in.radiusOcculting = 0.0017374L, in.radiusOcculted = 0.6957L, in.earthRadius = R;
    EXPECT_FALSE(tarvo::shadowPoint(in).exists);
    // Along z the flattened Earth is narrower: an axis 6370 km off the polar
    // axis meets it (6378 km equator), one above the polar radius misses it
    // when it runs along the equator plane.
    in.occulting = {0.0L, 0.00637L, 0.384L};
    in.occulted = {0.0L, 0.00637L, 150.0L};
    EXPECT_TRUE(tarvo::shadowPoint(in).exists);
    in.occulting = {0.384L, 0.0L, 0.00636L}; // 6360 km above the equator plane
    in.occulted = {150.0L, 0.0L, 0.00636L};
    EXPECT_FALSE(tarvo::shadowPoint(in).exists); // polar radius 6356.75 km
}

TEST(ShadowPoint, WidthsOfTheUmbraAndOfAnAntumbra) {
    const long double ut = 9000.0L;
    const Vec X = groundPoint(30.0L, 0.0L, ut, 0.0);
    const Vec up = upward(30.0L, 0.0L, ut, 0.0);
    ShadowInput in = axisThrough(X, up, ut, 0.0);
    // Equal radii: a cylinder, as wide as the body.
    in.radiusOcculted = in.radiusOcculting;
    auto p = tarvo::shadowPoint(in);
    EXPECT_NEAR(static_cast<double>(p.wmin), 2e6 * R * std::asin(0.0017374 / R), 1e-6);
    // The Sun's cone: r = (R_O d_T - R_T d_O) / (d_T - d_O), negative beyond its tip.
    in = axisThrough(X, up, ut, 0.0);
    p = tarvo::shadowPoint(in);
    const long double r = (0.0017374L * 149.6L - 0.6957L * 0.384L) / (149.6L - 0.384L);
    EXPECT_LT(r, 0.0L);
    EXPECT_NEAR(static_cast<double>(p.wmin), static_cast<double>(2e6L * R * std::asin(r / R)),
                1e-6);
    // Sun overhead: the shadow is a circle, its half-lengths ahead and
    // behind are half its width.
    EXPECT_NEAR(static_cast<double>(p.altitude), 90.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(p.hwMin), static_cast<double>(p.wmin / 2), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.hwMax), static_cast<double>(p.wmin / 2), 1e-3);
}

TEST(ShadowPoint, AzimuthIsCountedFromTheSouthThroughTheWest) {
    const long double ut = 9000.0L, L = 0.0L, B = 0.0L;
    const Vec X = groundPoint(L, B, ut, 0.0);
    const long double a = tarvo::apparentSiderealTime(ut, 0.0L, 0.0);
    // At the equator, 30 degrees above the western horizon: hour angle +60 degrees.
    const long double H = 60.0L * kRad;
    const Vec west{std::cos(a - H), std::sin(a - H), 0.0L};
    auto p = tarvo::shadowPoint(axisThrough(X, west, ut, 0.0));
    ASSERT_TRUE(p.exists);
    EXPECT_NEAR(static_cast<double>(p.azimuth), 90.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(p.altitude), 30.0, 1e-9);
    const Vec east{std::cos(a + H), std::sin(a + H), 0.0L};
    p = tarvo::shadowPoint(axisThrough(X, east, ut, 0.0));
    EXPECT_NEAR(static_cast<double>(p.azimuth), 270.0, 1e-9);
    // Sun 30 degrees high: the ground shadow is stretched by 1 / sin h = 2
    // (a little more ahead, a little less behind, on the curved ground).
    EXPECT_NEAR(static_cast<double>(p.hwMin / p.wmin), 1.0, 0.02);
    EXPECT_NEAR(static_cast<double>(p.hwMax / p.wmin), 1.0, 0.02);
    EXPECT_GT(std::fabs(p.hwMin), std::fabs(p.hwMax));
}

TEST(ShadowPoint, TrackUncertaintyOfTwoBodiesAndOfAStar) {
    const long double ut = 9000.0L;
    const Vec X = groundPoint(0.0L, 0.0L, ut, 0.0);
    ShadowInput in = axisThrough(X, upward(0.0L, 0.0L, ut, 0.0), ut, 0.0);
    in.sigmaOccultingKm = 3.0L, in.sigmaOccultedKm = 4.0L;
    auto p = tarvo::shadowPoint(in);
    // sqrt(3^2 + 4^2) * d_N / |T - P| + sigma_N, the occulting body nearer.
    const long double dN =
        std::sqrt(in.occulting[0] * in.occulting[0] + in.occulting[1] * in.occulting[1] +
                  in.occulting[2] * in.occulting[2]);
    EXPECT_NEAR(static_cast<double>(p.hwErr),
                static_cast<double>(5.0L * dN / (149.6L - 0.384L) + 3.0L), 1e-9);
    in.star = true;
    in.starDirection = upward(0.0L, 0.0L, ut, 0.0);
    in.starUncertaintyCode = 10;
    p = tarvo::shadowPoint(in);
    EXPECT_NEAR(static_cast<double>(p.hwErr), static_cast<double>(0.005L * 2.0L * dN + 3.0L), 1e-9);
}

} // namespace
