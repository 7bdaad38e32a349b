// Two-body propagation against the conic in closed form and its integrals,
// and the interpolation about a primary against the quintic alone over a
// step that spans a tenth of the orbit.
#include "tarvo/events/orbit_interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tarvo {
namespace {

using Vec = std::array<long double, 3>;
constexpr long double kPi = std::numbers::pi_v<long double>;

long double energy(const TwoBodyState& s, long double mu) {
    const long double r = std::sqrt(s.r[0] * s.r[0] + s.r[1] * s.r[1] + s.r[2] * s.r[2]);
    return (s.v[0] * s.v[0] + s.v[1] * s.v[1] + s.v[2] * s.v[2]) / 2 - mu / r;
}

TEST(KeplerPropagation, CircleEllipseAndHyperbola) {
    // A quarter of the unit circle (mu = 1, period 2 pi).
    auto s = keplerPropagate({1, 0, 0}, {0, 1, 0}, 1.0L, kPi / 2);
    EXPECT_NEAR(static_cast<double>(s.r[0]), 0.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(s.r[1]), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(s.v[0]), -1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(s.a[1]), -1.0, 1e-15);
    // An ellipse of e = 0.5 from perihelion (a = 2, period 2 pi a^1.5) comes back;
    // backward too.
    const Vec r0{1, 0, 0.0}, v0{0, std::sqrt(1.5L), 0};
    const long double period = 2 * kPi * std::pow(2.0L, 1.5L);
    for (long double sign : {1.0L, -1.0L}) {
        s = keplerPropagate(r0, v0, 1.0L, sign * period);
        EXPECT_NEAR(static_cast<double>(s.r[0]), 1.0, 1e-13);
        EXPECT_NEAR(static_cast<double>(s.r[1]), 0.0, 1e-13);
    }
    // Half a period: aphelion at -3.
    s = keplerPropagate(r0, v0, 1.0L, period / 2);
    EXPECT_NEAR(static_cast<double>(s.r[0]), -3.0, 1e-13);
    // A hyperbola keeps its energy and angular momentum.
    const Vec rh{1, 0, 0}, vh{0.3L, 1.6L, 0.2L};
    const TwoBodyState start{rh, vh, {}};
    s = keplerPropagate(rh, vh, 1.0L, 7.5L);
    EXPECT_NEAR(static_cast<double>(energy(s, 1.0L)), static_cast<double>(energy(start, 1.0L)),
                1e-15);
    const long double hz0 = rh[0] * vh[1] - rh[1] * vh[0];
    EXPECT_NEAR(static_cast<double>(s.r[0] * s.v[1] - s.r[1] * s.v[0]), static_cast<double>(hz0),
                1e-15);
    // Zero time: the start state.
    s = keplerPropagate(rh, vh, 1.0L, 0.0L);
    EXPECT_EQ(s.r[0], 1.0L);
}

// A moon on an eccentric orbit about a primary that moves uniformly, over
// a step of a tenth of its period: the quintic alone misses by 1e-5 of
// the orbit, the interpolation about the primary by nothing measurable.
TEST(OrbitInterpolation, FollowsAMoonWhereTheQuinticCannot) {
    const long double mu = 1.0L, h = 2 * kPi / 10;
    const Vec r0{1, 0, 0.1L}, v0{0, 1.2L, 0};
    const Vec primaryV{0.5L, 0.25L, 0};
    TableStates s, e;
    s.resize(2);
    e.resize(2);
    const auto put = [&](TableStates& t, long double time) {
        const TwoBodyState m = keplerPropagate(r0, v0, mu, time);
        t.x[0] = primaryV[0] * time, t.y[0] = primaryV[1] * time, t.z[0] = 0;
        t.vx[0] = primaryV[0], t.vy[0] = primaryV[1], t.vz[0] = 0;
        t.ax[0] = t.ay[0] = t.az[0] = 0;
        t.x[1] = t.x[0] + m.r[0], t.y[1] = t.y[0] + m.r[1], t.z[1] = m.r[2];
        t.vx[1] = primaryV[0] + m.v[0], t.vy[1] = primaryV[1] + m.v[1], t.vz[1] = m.v[2];
        t.ax[1] = m.a[0], t.ay[1] = m.a[1], t.az[1] = m.a[2];
    };
    put(s, 0);
    put(e, h);
    StepEnds step;
    step.t0 = 0, step.t1 = h, step.h = h, step.bodyCount = 1;
    step.start = &s, step.end = &e;
    double quinticWorst = 0, orbitWorst = 0;
    for (long double p = 0.1L; p < 1.0L; p += 0.1L) {
        const TwoBodyState m = keplerPropagate(r0, v0, mu, p * h);
        long double unused = 0;
        const InterpolatedState q = interpolateBody(step, 1, p, unused);
        const InterpolatedState o = interpolateAbout(step, 1, 0, mu, p);
        for (std::size_t k = 0; k < 3; ++k) {
            const long double truth = primaryV[k] * p * h + m.r[k];
            quinticWorst = std::max(quinticWorst, static_cast<double>(std::fabs(q.r[k] - truth)));
            orbitWorst = std::max(orbitWorst, static_cast<double>(std::fabs(o.r[k] - truth)));
            EXPECT_NEAR(static_cast<double>(o.v[k]), static_cast<double>(primaryV[k] + m.v[k]),
                        1e-14);
        }
    }
    EXPECT_GT(quinticWorst, 1e-6);
    EXPECT_LT(orbitWorst, 1e-15);
}

} // namespace
} // namespace tarvo
