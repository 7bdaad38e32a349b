// Impacts of straight-line impactors on the Earth: the contact on the true
// ellipsoid (equatorial radius 6378.14 km, e^2 = 1 - 1/1.006739495), the
// ground point, the arrival direction, and the sidereal time of the UT.
#include "tarvo/events/impact.h"

#include "tarvo/dynamics/physical_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using tarvo::StepEnds;
using tarvo::TableStates;
using Vec = std::array<long double, 3>;
constexpr long double kPi = std::numbers::pi_v<long double>;

void put(TableStates& s, int i, Vec r, Vec v) {
    const auto k = static_cast<std::size_t>(i);
    s.x[k] = r[0], s.y[k] = r[1], s.z[k] = r[2];
    s.vx[k] = v[0], s.vy[k] = v[1], s.vz[k] = v[2];
    s.ax[k] = s.ay[k] = s.az[k] = 0;
}

// The point of geodetic latitude phi and right ascension alpha on the
// ellipsoid, Gm, and the outward normal there.
Vec ellipsoidPoint(long double phi, long double alpha, Vec& normal) {
    const long double a = tarvo::kImpactEarthRadius, e2 = 1.0L - 1.0L / tarvo::kGeodeticFactor;
    const long double n = a / std::sqrt(1.0L - e2 * std::sin(phi) * std::sin(phi));
    normal = {std::cos(phi) * std::cos(alpha), std::cos(phi) * std::sin(alpha), std::sin(phi)};
    return {n * std::cos(phi) * std::cos(alpha), n * std::cos(phi) * std::sin(alpha),
            n * (1.0L - e2) * std::sin(phi)};
}

struct Case {
    double latitude, longitude; // degrees, geodetic, east
    bool vertical;
};

TEST(Impact, StraightLineImpactorsHitTheirGroundPoint) {
    tarvo::DeltaTSettings automatic; // Auto, the polynomials
    const long double tContact = 4500.3217L, h = 0.01L, t0 = tContact - 0.0063L;
    for (const Case c :
         {Case{35.0, 200.0, true}, Case{-62.5, 12.25, true}, Case{10.0, -75.0, false},
          Case{0.0, 179.5, true}, Case{80.0, 45.0, false}}) {
        SCOPED_TRACE(std::to_string(c.latitude) + " " + std::to_string(c.longitude));
        const long double phi = c.latitude * kPi / 180.0L;
        const long double ut = tContact - tarvo::deltaT(tContact, automatic);
        const long double theta = tarvo::apparentSiderealTime(ut, 0.0L, 0.0);
        const long double alpha = c.longitude * kPi / 180.0L + theta;
        Vec normal;
        const Vec point = ellipsoidPoint(phi, alpha, normal);
        // The impactor's velocity relative to the ground: straight down the
        // radius from the centre (the vertical of the altitude column), or
        // 60 degrees from the normal towards the east.
        const long double r =
            std::sqrt(point[0] * point[0] + point[1] * point[1] + point[2] * point[2]);
        Vec ground = {-point[0] / r * 1.5L, -point[1] / r * 1.5L, -point[2] / r * 1.5L}; // Gm/day
        if (!c.vertical) {
            const Vec east{-std::sin(alpha), std::cos(alpha), 0};
            for (int k = 0; k < 3; ++k) ground[k] = -normal[k] * 0.75L + east[k] * 1.3L;
        }
        // Inertial velocity: the ground's own motion added.
        const Vec v{ground[0] - tarvo::kImpactRotationRate * point[1],
                    ground[1] + tarvo::kImpactRotationRate * point[0], ground[2]};
        TableStates s, e;
        s.resize(2), e.resize(2);
        put(s, 0, {0, 0, 0}, {0, 0, 0});
        put(e, 0, {0, 0, 0}, {0, 0, 0});
        auto at = [&](long double t) {
            return Vec{point[0] + v[0] * (t - tContact), point[1] + v[1] * (t - tContact),
                       point[2] + v[2] * (t - tContact)};
        };
        put(s, 1, at(t0), v);
        put(e, 1, at(t0 + h), v);
        StepEnds step;
        step.t0 = t0, step.t1 = t0 + h, step.h = h, step.bodyCount = 1;
        step.start = &s, step.end = &e;
        // The minimum (the centre passage) lies well after the contact.
        const auto m = tarvo::impactPoint(step, nullptr, 0, 1, 1.0L, tarvo::earthEquatorialRadius,
                                          0.0L, true, automatic, 0.0);
        ASSERT_TRUE(m.ground);
        EXPECT_NEAR(static_cast<double>((m.time - tContact) * 86400.0L), 0.0, 1e-3) << "seconds";
        EXPECT_NEAR(static_cast<double>(m.latitude), c.latitude, 1e-5);
        const double lon = c.longitude > 180 ? c.longitude - 360 : c.longitude;
        EXPECT_NEAR(static_cast<double>(m.longitude), lon, 1e-5);
        EXPECT_GT(m.longitude, -180.0L);
        EXPECT_LE(m.longitude, 180.0L);
        const long double speed =
            std::sqrt(ground[0] * ground[0] + ground[1] * ground[1] + ground[2] * ground[2]);
        EXPECT_NEAR(static_cast<double>(m.speed / (speed / tarvo::kmPerSecondToGmPerDay)), 1.0,
                    1e-6);
        if (c.vertical)
            EXPECT_NEAR(static_cast<double>(m.altitude), 90.0, 0.05);
        else {
            // 60 degrees from the normal, about 30 above the horizon, coming from the west:
            // the azimuth counted from the south through the west is near 90.
            EXPECT_NEAR(static_cast<double>(m.altitude), 30.0, 0.5);
            EXPECT_NEAR(static_cast<double>(m.azimuth), 90.0, 1.0);
        }
    }
}

TEST(Impact, ContactInThePreviousStepWhenTheStepStartsOverlapping) {
    TableStates p0, p1, s0, s1;
    for (TableStates* t : {&p0, &p1, &s0, &s1}) t->resize(2);
    // Body 1 moves along x at 1 Gm/day towards body 0 of radius 0.5: contact at t = 10.5.
    auto at = [](TableStates& s, long double t) {
        put(s, 0, {0, 0, 0}, {0, 0, 0});
        put(s, 1, {11.0L - t, 0.01L, 0}, {-1, 0, 0});
    };
    at(p0, 10.0L), at(p1, 10.8L), at(s0, 10.8L), at(s1, 11.6L);
    StepEnds previous, step;
    previous.t0 = 10.0L, previous.t1 = 10.8L, previous.h = 0.8L, previous.bodyCount = 1;
    previous.start = &p0, previous.end = &p1;
    step = previous;
    step.t0 = 10.8L, step.t1 = 11.6L, step.start = &s0, step.end = &s1;
    tarvo::DeltaTSettings automatic;
    const auto m =
        tarvo::impactPoint(step, &previous, 0, 1, 0.25L, 0.5L, 0.0L, false, automatic, 0.0);
    EXPECT_NEAR(static_cast<double>(m.time), 10.5 + (0.5 - std::sqrt(0.25 - 1e-4)), 1e-8);
    EXPECT_FALSE(m.ground);
    EXPECT_EQ(tarvo::impactLine(m, "a ", "b ").find("nan"), std::string::npos);
}

} // namespace
