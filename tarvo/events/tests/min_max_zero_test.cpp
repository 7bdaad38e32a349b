// The min/max/zero search's functions and refinement, on motions whose
// events are known in closed form, and the cases that must give no event.
#include "tarvo/events/min_max_zero.h"

#include "tarvo/dynamics/physical_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace tarvo {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// A motion of body 1 given by position, velocity and acceleration at t;
// body 0 stays at the origin.
struct Motion {
    Vector3 (*r)(long double), (*v)(long double), (*a)(long double);
};

void fill(TableStates& s, const Motion& m, long double t) {
    s.resize(2);
    const Vector3 r = m.r(t), v = m.v(t), a = m.a(t);
    s.x[1] = r[0], s.y[1] = r[1], s.z[1] = r[2];
    s.vx[1] = v[0], s.vy[1] = v[1], s.vz[1] = v[2];
    s.ax[1] = a[0], s.ay[1] = a[1], s.az[1] = a[2];
}

// Every event of body 1 seen from body 0 over [0, end], in steps of h.
std::vector<ExtremumEvent> eventsOver(const Motion& m, ExtremumMode mode, long double end,
                                      long double h, bool lightTime = false) {
    std::vector<ExtremumEvent> events;
    const SearchFrame frame;
    const FrameState table;
    for (long double t = 0.0L; t < end - 1e-12L; t += h) {
        TableStates s0, s1;
        fill(s0, m, t);
        fill(s1, m, t + h);
        StepEnds step;
        step.t0 = t, step.t1 = t + h, step.h = h, step.bodyCount = 1;
        step.start = &s0, step.end = &s1;
        SightGeometry g;
        g.step = &step;
        g.centre.body = 0;
        g.frame = &frame;
        g.table = &table;
        g.lightTime = lightTime;
        if (const auto ev = extremumStep(g, mode, 1)) events.push_back(*ev);
    }
    return events;
}

constexpr long double kInclination = 0.3L;
// A circular orbit of radius 1 Gm and rate 1 rad/day, inclined by 0.3 rad.
const Motion kInclined{[](long double t) -> Vector3 {
                           return {std::cos(t), std::sin(t) * std::cos(kInclination),
                                   std::sin(t) * std::sin(kInclination)};
                       },
                       [](long double t) -> Vector3 {
                           return {-std::sin(t), std::cos(t) * std::cos(kInclination),
                                   std::cos(t) * std::sin(kInclination)};
                       },
                       [](long double t) -> Vector3 {
                           return {-std::cos(t), -std::sin(t) * std::cos(kInclination),
                                   -std::sin(t) * std::sin(kInclination)};
                       }};

TEST(MinMaxZeroFunctions, BoundaryZerosCountOnlyForTheZeroMode) {
    EXPECT_TRUE(bracketsEvent(ExtremumMode::zero, 1.0L, 0.0L));
    EXPECT_TRUE(bracketsEvent(ExtremumMode::zero, 0.0L, -1.0L));
    EXPECT_TRUE(bracketsEvent(ExtremumMode::zero, -1.0L, 2.0L));
    EXPECT_FALSE(bracketsEvent(ExtremumMode::zero, 0.0L, 0.0L)); // a body staying in the plane
    for (ExtremumMode m : {ExtremumMode::minMax, ExtremumMode::stationary}) {
        EXPECT_FALSE(bracketsEvent(m, 1.0L, 0.0L));
        EXPECT_FALSE(bracketsEvent(m, 0.0L, 1.0L));
        EXPECT_FALSE(bracketsEvent(m, 0.0L, 0.0L));
        EXPECT_TRUE(bracketsEvent(m, 1.0L, -1.0L));
    }
    // g of the latitude's rate: zero at the top of the inclined circle.
    const long double t = kPi / 2;
    EXPECT_NEAR(
        static_cast<double>(extremumFunction(ExtremumMode::minMax, kInclined.r(t), kInclined.v(t))),
        0.0, 1e-18);
}

TEST(MinMaxZeroRefinement, FindsRootsAndWidensOnlyWhileItStillBrackets) {
    auto root = refineExtremum([](long double p) { return p - 0.3L; }, -0.3L, 0.7L);
    EXPECT_NEAR(static_cast<double>(root.p), 0.3, 1e-12);
    EXPECT_FALSE(root.doubtful);
    // A root at the very end, and one just before it (the bracket widens).
    root = refineExtremum([](long double p) { return 1.0L - p; }, 1.0L, 0.0L);
    EXPECT_EQ(root.p, 1.0L);
    root = refineExtremum([](long double p) { return (p - 0.9999999L) * (2.0L - p); },
                          -0.9999999L * 2.0L, 1e-7L);
    EXPECT_NEAR(static_cast<double>(root.p), 0.9999999, 1e-7); // the pass tolerance
    // g0 = 0: the start is the root, nothing divided by zero.
    root = refineExtremum([](long double p) { return p; }, 0.0L, 1.0L);
    EXPECT_EQ(root.p, 0.0L);
    EXPECT_FALSE(root.doubtful);
    // Both ends alike (a step function): bisection rather than 0/0.
    root = refineExtremum([](long double p) { return p < 0.25L ? -1.0L : 1.0L; }, -1.0L, 1.0L);
    EXPECT_NEAR(static_cast<double>(root.p), 0.25, 1e-6);
    EXPECT_TRUE(std::isfinite(root.p));
}

TEST(MinMaxZeroSearch, NodesAndExtremaOfAnInclinedCircle) {
    const auto zeros = eventsOver(kInclined, ExtremumMode::zero, 2 * kPi + 0.5L, 0.1L);
    ASSERT_EQ(zeros.size(), 2u); // pi and 2 pi; the start of the run is no crossing
    EXPECT_NEAR(static_cast<double>(zeros[0].time), static_cast<double>(kPi), 1e-9);
    EXPECT_NEAR(static_cast<double>(zeros[1].time), static_cast<double>(2 * kPi), 1e-9);
    const auto extrema = eventsOver(kInclined, ExtremumMode::minMax, 2 * kPi, 0.1L);
    ASSERT_EQ(extrema.size(), 2u);
    EXPECT_NEAR(static_cast<double>(extrema[0].time), static_cast<double>(kPi / 2), 1e-7);
    EXPECT_GT(extrema[0].g0, 0.0L); // a maximum
    EXPECT_NEAR(static_cast<double>(extrema[1].time), static_cast<double>(3 * kPi / 2), 1e-7);
    EXPECT_LT(extrema[1].g0, 0.0L);
    const std::string line =
        extremumRecord(extrema[0], ExtremumMode::minMax, extrema[0].time, "CIRCLE   ");
    EXPECT_NE(line.find(" Max "), std::string::npos) << line;
    EXPECT_NE(line.find(" 17.18873"), std::string::npos) << line; // 0.3 rad
    // The longitude of a prograde circle never stands still.
    EXPECT_TRUE(eventsOver(kInclined, ExtremumMode::stationary, 2 * kPi, 0.1L).empty());
}

// With light time the crossings are seen 1/c days (the radius is 1 Gm)
// late: the one of t = 0 just after the start, the one of pi after pi.
TEST(MinMaxZeroSearch, LightTimeDelaysTheCrossingByTheLightTime) {
    const auto zeros = eventsOver(kInclined, ExtremumMode::zero, 4.0L, 0.1L, true);
    ASSERT_EQ(zeros.size(), 2u);
    EXPECT_NEAR(static_cast<double>(zeros[0].time * speedOfLight), 1.0, 1e-4);
    EXPECT_NEAR(static_cast<double>((zeros[1].time - kPi) * speedOfLight), 1.0, 1e-4);
}

// An epicycle seen from its centre's side: x v_y - y v_x = 1 + 2 cos t.
TEST(MinMaxZeroSearch, StationaryPointsOfAnEpicycle) {
    const Motion epicycle{[](long double t) -> Vector3 {
                              return {std::cos(t) + 2.0L, std::sin(t), 0.1L};
                          },
                          [](long double t) -> Vector3 {
                              return {-std::sin(t), std::cos(t), 0.0L};
                          },
                          [](long double t) -> Vector3 {
                              return {-std::cos(t), -std::sin(t), 0.0L};
                          }};
    const auto points = eventsOver(epicycle, ExtremumMode::stationary, 2 * kPi, 0.2L);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(static_cast<double>(points[0].time), static_cast<double>(2 * kPi / 3), 1e-7);
    EXPECT_NEAR(static_cast<double>(points[1].time), static_cast<double>(4 * kPi / 3), 1e-7);
}

// A crossing exactly on a step boundary is found once, from the step that
// ends there.
TEST(MinMaxZeroSearch, AZeroOnAStepBoundaryIsFoundOnce) {
    const Motion line{[](long double t) -> Vector3 {
                          return {1.0L, t, t - 1.0L};
                      },
                      [](long double) -> Vector3 {
                          return {0.0L, 1.0L, 1.0L};
                      },
                      [](long double) -> Vector3 {
                          return {0.0L, 0.0L, 0.0L};
                      }};
    const auto zeros = eventsOver(line, ExtremumMode::zero, 2.0L, 0.25L);
    ASSERT_EQ(zeros.size(), 1u);
    EXPECT_EQ(zeros[0].time, 1.0L);
    EXPECT_EQ(zeros[0].p, 1.0L);
}

// A body in the reference plane has no crossing and no extremum of its
// latitude; one on the pole has no stationary longitude; nothing divides
// by zero.
TEST(MinMaxZeroSearch, DegenerateBodiesGiveNoEvent) {
    const Motion inPlane{[](long double t) -> Vector3 {
                             return {std::cos(t), std::sin(t), 0.0L};
                         },
                         [](long double t) -> Vector3 {
                             return {-std::sin(t), std::cos(t), 0.0L};
                         },
                         [](long double t) -> Vector3 {
                             return {-std::cos(t), -std::sin(t), 0.0L};
                         }};
    EXPECT_TRUE(eventsOver(inPlane, ExtremumMode::zero, 7.0L, 0.1L, true).empty());
    EXPECT_TRUE(eventsOver(inPlane, ExtremumMode::minMax, 7.0L, 0.1L, true).empty());
    const Motion pole{[](long double t) -> Vector3 {
                          return {0.0L, 0.0L, 1.0L + t};
                      },
                      [](long double) -> Vector3 {
                          return {0.0L, 0.0L, 1.0L};
                      },
                      [](long double) -> Vector3 {
                          return {0.0L, 0.0L, 0.0L};
                      }};
    EXPECT_TRUE(eventsOver(pole, ExtremumMode::stationary, 3.0L, 0.1L, true).empty());
    EXPECT_TRUE(eventsOver(pole, ExtremumMode::minMax, 3.0L, 0.1L, true).empty());
}

TEST(MinMaxZeroFiles, HeaderStatesTheFrameAndTheColumns) {
    ExtremumHeader h;
    h.ecliptic = true;
    h.aberration = false;
    auto lines = extremumHeader(h);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Ref. Equinox: Date; Nutation: ON; Aberration: OFF; Light Time: ON"
                        "   Lat (°)  Lon");
    EXPECT_EQ(lines[1], "TT   #         JD2000          Date       ");
    h.precession = false;
    h.ecliptic = false;
    h.topocentric = true;
    lines = extremumHeader(h);
    EXPECT_EQ(lines[0].rfind("Ref. Equinox: 2000.0;", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("   Topocentric  Decl (°)  RA "), std::string::npos) << lines[0];
    EXPECT_STREQ(extremumFileName(ExtremumMode::minMax), "MAXMILAT.DAT");
    EXPECT_STREQ(extremumFileName(ExtremumMode::stationary), "MAXMILON.DAT");
    EXPECT_STREQ(extremumFileName(ExtremumMode::zero), "ZEROLAT.DAT");
}

} // namespace
} // namespace tarvo
