// The two-body conversion of a Keplerian fit: its anomaly solvers on their
// equations, the branch an eccentricity falls into, and the round trip
// through the inverse conversion of the libraries.
#include "fitra/kepler_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace fitra;

TEST(AnomalySolvers, SolveTheirEquations) {
    bool limit = false;
    for (long double e : {0.0L, 0.3L, 0.9L, 0.999L})
        for (long double M : {0.001L, 1.0L, 3.1L, -2.0L, 12.0L}) {
            const long double E = solveEllipticAnomaly(e, M, limit);
            EXPECT_NEAR(E - e * std::sin(E), M, 1e-13L) << e << " " << M;
        }
    // Far out on a hyperbola: a start at F = M would take hundreds of rounds.
    for (long double e : {1.0001L, 1.5L, 30.0L})
        for (long double M : {0.01L, 5.0L, 1e4L, -300.0L}) {
            const long double F = solveHyperbolicAnomaly(e, M, limit);
            EXPECT_NEAR((e * std::sinh(F) - F - M) / (1 + std::fabs(M)), 0, 1e-15L)
                << e << " " << M;
        }
    for (long double q : {0.1L, 1.0L, 5.0L})
        for (long double M : {0.0L, 0.5L, 40.0L, -7.0L}) {
            const long double D = solveParabolicAnomaly(q, M, limit);
            EXPECT_NEAR(q * D + D * D * D / 6, M, 1e-13L * (1 + std::fabs(M)));
        }
    EXPECT_FALSE(limit);
}

TEST(KeplerState, RoundTripThroughTheInverseConversion) {
    for (const KeplerElements& el : {KeplerElements{0.15L, 10.0L, 120.0L, 80.0L, 2.6L, 33.0L},
                                     KeplerElements{0.7L, 160.0L, 10.0L, 300.0L, 17.0L, 350.0L},
                                     KeplerElements{1.8L, 40.0L, 200.0L, 20.0L, 3.0L, 25.0L}}) {
        const KeplerState s = keplerToState(el, false);
        ASSERT_TRUE(s.ok);
        const KeplerElements back = stateToKepler(s.position, s.velocity, 0, false);
        EXPECT_NEAR(back.e, el.e, 1e-14L);
        EXPECT_NEAR(back.a, el.a, 1e-12L * el.a);
        EXPECT_NEAR(back.i, el.i, 1e-11L);
        EXPECT_NEAR(back.w, el.w, 1e-9L);
        EXPECT_NEAR(back.node, el.node, 1e-9L);
        EXPECT_NEAR(back.M0, el.M0, 1e-9L);
    }
}

TEST(KeplerState, EnergyAndBranchOfNearParabolicOrbits) {
    // Vis-viva: v^2 = k^2 (2/r - 1/a) in AU and days.
    const long double k = 0.01720209895L, au = 149.5978707L;
    auto energyAxis = [&](const KeplerState& s) {
        long double r = 0, v2 = 0;
        for (int i = 0; i < 3; ++i) {
            r += (s.position[i] / au) * (s.position[i] / au);
            const long double v = s.velocity[i] * 0.0864L / au;
            v2 += v * v;
        }
        return 1 / (2 / std::sqrt(r) - v2 / (k * k)); // a, negative for a hyperbola
    };
    // 1.000000005 is a parabola: the speed is the parabolic speed.
    const KeplerState p = keplerToState({1.000000005L, 20, 30, 40, 0.8L, 10}, false);
    EXPECT_GT(std::fabs(energyAxis(p)), 1e6L);
    // 1.00000002 is solved as a hyperbola of |a| = 0.8 AU (negative energy axis).
    const KeplerState h = keplerToState({1.00000002L, 20, 30, 40, 0.8L, 10}, false);
    EXPECT_LT(energyAxis(h), 0);
    EXPECT_NEAR(-energyAxis(h), 0.8L, 1e-6L);
    // A negative or zero size describes no orbit.
    EXPECT_FALSE(keplerToState({0.2L, 1, 1, 1, -1, 1}, false).ok);
    EXPECT_FALSE(keplerToState({-0.1L, 1, 1, 1, 2, 1}, false).ok);
}

} // namespace
