// The frames and centres a search looks from: the J2000 and of-date turns
// against the frame routines themselves, the turn inside a step against
// the frame of the instant, and the site added to the Earth.
#include "tarvo/events/search_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

Vector3 turned(const StepRotation& m, long double t, const Vector3& v) {
    Vector3 out{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t k = 0; k < 3; ++k)
            out[i] += (m.m0[i][k] + (t - m.t0) * m.rate[i][k]) * v[k];
    return out;
}

double gap(const Vector3& a, const Vector3& b) {
    return static_cast<double>(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]));
}

TEST(SearchFrames, J2000AndTheFrameOfTheInstant) {
    const PrecessionTable precession;
    FrameOptions options;
    options.principalNutation = true;
    FrameState table; // the table's frame epoch: 2024 January 1
    computeFrame(table, 8766.0L, options, precession);
    const Vector3 j2000{0.6L, -0.48L, 0.64L};
    Vector3 inTable = j2000;
    rotateToDate(table, inTable);
    // Precession off: the J2000 equator again, and its ecliptic by eps0.
    SearchFrame frame;
    frame.equinox = SearchFrame::Equinox::j2000;
    EXPECT_LT(gap(toSearchFrame(frame, table, inTable), j2000), 1e-15);
    frame.ecliptic = true;
    const Vector3 e = toSearchFrame(frame, table, inTable);
    const long double c = table.obliquityJ2000.cos, s = table.obliquityJ2000.sin;
    EXPECT_LT(gap(e, {j2000[0], c * j2000[1] + s * j2000[2], c * j2000[2] - s * j2000[1]}), 1e-15);
    // Of date, 90 days after the frame epoch: the frame of that instant, not
    // the table's (which is 12" of precession away).
    frame = SearchFrame{};
    frame.ecliptic = true;
    const long double t0 = 8856.0L, t1 = 8859.0L;
    const StepRotation m = stepRotation(frame, table, t0, t1, precession, options);
    FrameState at;
    const long double t = 8857.3L;
    computeFrame(at, t, options, precession);
    Vector3 expected = j2000;
    rotateToDate(at, expected, true);
    EXPECT_LT(gap(turned(m, t, inTable), expected), 1e-10); // 2e-5" from the linear turn
    EXPECT_GT(gap(toSearchFrame(frame, table, inTable), expected),
              2e-5); // the table's own ecliptic
    // The turn's rate: the equinox's 50.3" a year (without nutation), and the
    // ecliptic's own turn of 0.47" a year for a direction off the ecliptic.
    const StepRotation mean = stepRotation(frame, table, t0, t1, precession, FrameOptions{});
    const Vector3 later = turned(mean, t0 + 365.25L, inTable), now = turned(mean, t0, inTable);
    const double dLon =
        static_cast<double>(std::atan2(later[1], later[0]) - std::atan2(now[1], now[0]));
    EXPECT_NEAR(dLon * 206264.806, 50.3, 1.0); // the ecliptic's own turn: 0.5" here
}

TEST(SearchCentres, TheSiteIsAddedToTheEarth) {
    TableStates s0, s1;
    s0.resize(4);
    s1.resize(4);
    s0.x[3] = s1.x[3] = 100;    // the Earth at rest
    s0.x[2] = s1.x[2] = 101.0L; // a body 1 Gm beyond it
    StepEnds step;
    step.t0 = 0, step.t1 = 1, step.h = 1, step.bodyCount = 3;
    step.start = &s0, step.end = &s1;
    const SearchFrame frame;
    const FrameState table;
    SightGeometry g;
    g.step = &step;
    g.frame = &frame;
    g.table = &table;
    g.lightTime = false;
    g.centre.body = 3;
    g.centre.topocentric = true;
    g.site = [](long double) {
        InterpolatedState site;
        site.r = {0.006L, 0, 0};
        site.v = {0, 0.04L, 0};
        return site;
    };
    const InterpolatedState r = relativeState(g, 2, 0.5L);
    EXPECT_NEAR(static_cast<double>(r.r[0]), 0.994, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.v[1]), -0.04, 1e-15);
    // Aberration by the site's velocity: 0.04 / c rad toward its motion (+y).
    g.lightTime = true;
    g.aberration = true;
    const InterpolatedState a = relativeState(g, 2, 0.5L);
    EXPECT_NEAR(static_cast<double>(a.r[1] / a.r[0]), 0.04 / 25902.06837, 1e-12);
}

} // namespace
} // namespace tarvo
