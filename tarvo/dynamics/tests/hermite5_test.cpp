// hermite5 against curves whose values are known exactly: every quintic is
// reproduced, and a circular orbit (not a polynomial) is followed to the
// accuracy its step allows, forward and backward in time.
#include "tarvo/dynamics/hermite5.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using tarvo::hermite5;

long double poly(const long double c[6], long double p) {
    long double v = 0;
    for (int k = 5; k >= 0; --k) v = v * p + c[k];
    return v;
}
long double polyDerivative(const long double c[6], long double p) {
    long double v = 0;
    for (int k = 5; k >= 1; --k) v = v * p + k * c[k];
    return v;
}
long double polySecond(const long double c[6], long double p) {
    long double v = 0;
    for (int k = 5; k >= 2; --k) v = v * p + k * (k - 1) * c[k];
    return v;
}

TEST(Hermite5, ReproducesEveryQuinticAndItsDerivative) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coefficient(-3.0, 3.0);
    for (int trial = 0; trial < 200; ++trial) {
        long double c[6];
        for (long double& k : c) k = coefficient(random);
        for (long double p : {0.0L, 0.125L, 0.37L, 0.5L, 0.81L, 1.0L}) {
            long double error = 0;
            const auto h =
                hermite5(p, poly(c, 0), poly(c, 1), polyDerivative(c, 0), polyDerivative(c, 1),
                         polySecond(c, 0), polySecond(c, 1), error);
            EXPECT_NEAR(static_cast<double>(h.x), static_cast<double>(poly(c, p)), 1e-15);
            EXPECT_NEAR(static_cast<double>(h.u), static_cast<double>(polyDerivative(c, p)), 1e-14);
            // The warning term is the fifth-order coefficient times p^3 (1-p)^2.
            EXPECT_NEAR(static_cast<double>(error),
                        std::fabs(static_cast<double>(c[5] * p * p * p * (1 - p) * (1 - p))),
                        1e-14);
        }
    }
}

TEST(Hermite5, CubicGivesNoWarning) {
    long double error = 0;
    // x = p^3: x0 0, x1 1, u0 0, u1 3, a0 0, a1 6.
    const auto h = hermite5(0.5L, 0, 1, 0, 3, 0, 6, error);
    EXPECT_NEAR(static_cast<double>(h.x), 0.125, 1e-18);
    EXPECT_NEAR(static_cast<double>(error), 0.0, 1e-18);
}

// A body on a circle of radius R and angular rate w, in the table's units.
void circle(long double t, long double R, long double w, tarvo::TableStates& s) {
    s.resize(1);
    s.x[0] = R * std::cos(w * t), s.y[0] = R * std::sin(w * t), s.z[0] = 0;
    s.vx[0] = -R * w * std::sin(w * t), s.vy[0] = R * w * std::cos(w * t), s.vz[0] = 0;
    s.ax[0] = -w * w * s.x[0], s.ay[0] = -w * w * s.y[0], s.az[0] = 0;
}

TEST(Hermite5, FollowsACircularOrbitInsideAStepBothWays) {
    const long double R = 149.6L, w = 0.0172L, h = 10.0L; // an Earth-like orbit, 10-day step
    for (int direction : {1, -1}) {
        tarvo::TableStates a, b;
        const long double t0 = 100.0L, t1 = t0 + direction * h;
        circle(t0, R, w, a);
        circle(t1, R, w, b);
        tarvo::StepEnds step;
        step.t0 = t0, step.t1 = t1, step.h = h, step.direction = direction;
        step.start = &a, step.end = &b;
        for (long double p : {0.1L, 0.5L, 0.9L}) {
            long double error = 0;
            const auto s = tarvo::interpolateBody(step, 0, p, error);
            const long double t = t0 + direction * p * h;
            // The sixth-order term of the circle over 0.172 rad: R (wh)^6 / 6! scale.
            EXPECT_NEAR(static_cast<double>(s.r[0]), static_cast<double>(R * std::cos(w * t)),
                        2e-6);
            EXPECT_NEAR(static_cast<double>(s.r[1]), static_cast<double>(R * std::sin(w * t)),
                        2e-6);
            EXPECT_NEAR(static_cast<double>(s.v[1]), static_cast<double>(R * w * std::cos(w * t)),
                        2e-7);
            EXPECT_LT(error, 1e-3L);
        }
    }
}

} // namespace
