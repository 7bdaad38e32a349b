// Rising, transit and setting against a brute-force root search of the same
// altitude function: the body moving linearly from its state, the site
// turning with the Earth, the altitude taken from the geodetic normal.
#include "tarvo/reductions/places.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kSecondsPerDay = 86400.0;

struct Case {
    tarvo::PlaceVector position, velocity;
    tarvo::ObserverSite site;
    double theta;
    bool topocentric;
    double h0;
};

// Independent altitude (radians) at dt days after the state, and the hour angle.
double altitude(const Case& c, double dt) {
    const double th = c.theta + tarvo::kSiderealRateRiseSet * dt;
    double p[3];
    for (int k = 0; k < 3; ++k) p[k] = c.position[k] + dt * c.velocity[k];
    if (c.topocentric) {
        const double phi = c.site.latitude, s = std::sin(phi), co = std::cos(phi);
        const double w = std::sqrt(1 - tarvo::kEarthEccentricitySquared * s * s);
        const double eq = (tarvo::kEarthEquatorialRadiusGm / w + c.site.heightGm) * co;
        const double z = (tarvo::kEarthEquatorialRadiusGm * (1 - tarvo::kEarthEccentricitySquared) / w + c.site.heightGm) * s;
        p[0] -= eq * std::cos(th);
        p[1] -= eq * std::sin(th);
        p[2] -= z;
    }
    const double n[3] = {std::cos(c.site.latitude) * std::cos(th), std::cos(c.site.latitude) * std::sin(th),
                         std::sin(c.site.latitude)};
    const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    return std::asin((p[0] * n[0] + p[1] * n[1] + p[2] * n[2]) / r);
}
double sinHourAngle(const Case& c, double dt) {
    const double th = c.theta + tarvo::kSiderealRateRiseSet * dt;
    double p[3];
    for (int k = 0; k < 3; ++k) p[k] = c.position[k] + dt * c.velocity[k];
    if (c.topocentric) {
        const auto s = tarvo::siteVectorAt(c.site, th);
        for (int k = 0; k < 3; ++k) p[k] -= s[k];
    }
    // sin(θ - α) with positive cos: the upper transit only.
    const double a = std::atan2(p[1], p[0]);
    return std::cos(th - a) > 0 ? std::sin(th - a) : std::nan("");
}

// Roots of f (rising through zero when `upward`) on ±0.75 day, by a one-minute
// scan and bisection.
std::vector<double> roots(const auto& f, bool upward) {
    std::vector<double> found;
    const double step = 1.0 / 1440.0;
    double a = -0.75, fa = f(a);
    for (double b = a + step; b <= 0.75; a = b, fa = f(a), b += step) {
        const double fb = f(b);
        if (std::isnan(fa) || std::isnan(fb)) continue;
        if (upward ? (fa < 0 && fb >= 0) : (fa > 0 && fb <= 0)) {
            double lo = a, hi = b;
            for (int n = 0; n < 60; ++n) {
                const double mid = 0.5 * (lo + hi);
                const double fm = f(mid);
                if ((fm < 0) == upward) lo = mid;
                else hi = mid;
            }
            found.push_back(0.5 * (lo + hi));
        }
    }
    return found;
}

std::optional<double> nearest(const std::vector<double>& r, double x) {
    std::optional<double> best;
    for (double v : r)
        if (!best || std::fabs(v - x) < std::fabs(*best - x)) best = v;
    return best;
}

TEST(RiseTransitSetAgainstBruteForce, WithinTenSecondsForSunMoonAndStarLikeBodies) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double latitudes[] = {-65, -33.9, 0.0, 0.0001, 23.4, 51.48, 64.1, 69.5};
    const double heightsM[] = {0.0, 2400.0, -420.0};
    double worstSeconds = 0;
    int events = 0, absent = 0;
    for (int n = 0; n < 600; ++n) {
        Case c;
        c.site.latitude = latitudes[n % 8] * kDeg;
        c.site.heightGm = heightsM[n % 3] * 1e-9;
        c.theta = 2 * std::numbers::pi * unit(random);
        const double dec = (unit(random) - 0.5) * 56 * kDeg, ra = 2 * std::numbers::pi * unit(random);
        const int kind = n % 3; // 0 Sun-like, 1 Moon-like (topocentric), 2 star-like
        const double distance = kind == 0 ? 149.6 : kind == 1 ? 0.3844 : 4.0e6;
        const double speed = kind == 0 ? 2.6 : kind == 1 ? 0.0885 : 0.0; // Gm/day
        c.position = {distance * std::cos(dec) * std::cos(ra), distance * std::cos(dec) * std::sin(ra), distance * std::sin(dec)};
        const double heading = 2 * std::numbers::pi * unit(random);
        // Motion across the line of sight, mostly eastward like the Sun and Moon.
        const tarvo::PlaceVector east{-std::sin(ra), std::cos(ra), 0.0};
        const tarvo::PlaceVector north{-std::sin(dec) * std::cos(ra), -std::sin(dec) * std::sin(ra), std::cos(dec)};
        for (int k = 0; k < 3; ++k)
            c.velocity[k] = speed * (std::cos(0.4 * std::sin(heading)) * east[k] + std::sin(0.4 * std::sin(heading)) * north[k]);
        c.topocentric = kind == 1;
        c.h0 = tarvo::horizonDepression(c.site.heightGm, kind == 1 ? 0.0017374 : kind == 0 ? 0.696 : 0.0, distance,
                                        {true, true});
        for (auto event : {tarvo::RiseSetEvent::Rise, tarvo::RiseSetEvent::Transit, tarvo::RiseSetEvent::Set}) {
            const auto result = tarvo::riseTransitSet(event, 0.0L, c.position, c.velocity, c.site, c.theta, c.topocentric, c.h0);
            std::vector<double> brute;
            if (event == tarvo::RiseSetEvent::Transit)
                brute = roots([&](double dt) { return sinHourAngle(c, dt); }, true);
            else
                brute = roots([&](double dt) { return altitude(c, dt) + c.h0; }, event == tarvo::RiseSetEvent::Rise);
            if (!result.occurs) {
                ++absent;
                if (kind == 2) {
                    EXPECT_TRUE(brute.empty()) << "star-like body said not to rise/set, n = " << n;
                }
                continue;
            }
            const double t = static_cast<double>(result.time);
            const auto match = nearest(brute, t);
            ASSERT_TRUE(match.has_value()) << "no brute-force root, case " << n;
            const double seconds = std::fabs(*match - t) * kSecondsPerDay;
            worstSeconds = std::max(worstSeconds, seconds);
            EXPECT_LT(seconds, 10.0) << "case " << n << " event " << static_cast<int>(event);
            EXPECT_LE(std::fabs(t), 0.6);
            ++events;
        }
    }
    std::printf("rise/transit/set: %d events, %d absent, worst %.4f s from the brute-force root\n", events, absent,
                worstSeconds);
}

TEST(HorizonDepression, SeaLevelAndToggles) {
    EXPECT_NEAR(tarvo::horizonDepression(0.0, 0.696, 149.6, {true, true}), 0.00989 + 0.696 / 149.6, 1e-15);
    EXPECT_EQ(tarvo::horizonDepression(0.0, 0.696, 149.6, {false, false}), 0.0);
    // Below sea level: no arccosine of a value above 1, no dip.
    const double below = tarvo::horizonDepression(-420e-9, 0.0, 1.0, {false, false});
    EXPECT_EQ(below, 0.0);
    // 2 km up: dip arccos(6378/6380).
    EXPECT_NEAR(tarvo::horizonDepression(2e-6, 0.0, 1.0, {false, false}), std::acos(6378.0 / 6380.0), 1e-15);
}

TEST(RiseTransitSet, CircumpolarBodyHasNoRiseButATransit) {
    tarvo::ObserverSite site{60 * kDeg, 0, 0, ""};
    const tarvo::PlaceVector p{0.1, 0.0, 1.0}; // δ ≈ 84°
    EXPECT_FALSE(tarvo::riseTransitSet(tarvo::RiseSetEvent::Rise, 0.0L, p, {}, site, 0.3, false, 0.0).occurs);
    EXPECT_FALSE(tarvo::riseTransitSet(tarvo::RiseSetEvent::Set, 0.0L, p, {}, site, 0.3, false, 0.0).occurs);
    EXPECT_TRUE(tarvo::riseTransitSet(tarvo::RiseSetEvent::Transit, 0.0L, p, {}, site, 0.3, false, 0.0).occurs);
    EXPECT_EQ(tarvo::riseSetText({}, 0.0L, false, 0.0), "     ");
}

TEST(RiseTransitSet, PoleSiteDoesNotDivideByZero) {
    tarvo::ObserverSite site{90 * kDeg, 0, 0, ""};
    const auto r = tarvo::riseTransitSet(tarvo::RiseSetEvent::Rise, 0.0L, {1.0, 0.0, 0.0}, {}, site, 0.3, false, 0.01);
    EXPECT_FALSE(r.occurs);
}

TEST(RiseTransitSet, TimeTextIsTheClockOfTheEvent) {
    tarvo::RiseSetResult r{true, 0.25L}; // 2000-01-01 18:00 TT
    EXPECT_EQ(tarvo::riseSetText(r, 0.0L, false, 0.0), "18:00");
    EXPECT_EQ(tarvo::riseSetText(r, 64.0L / 86400.0L, false, 0.0), "17:59");
    EXPECT_EQ(tarvo::riseSetText(r, 0.0L, true, 30 * kDeg), "20:00"); // local: +2 h
}

} // namespace
