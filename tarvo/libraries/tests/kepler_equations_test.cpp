// The three Kepler equations. Oracles: the equations' own residuals, and
// Cardano's closed form for Barker's cubic (written without cancellation).
#include <gtest/gtest.h>

#include <cmath>

#include "kepler_equations.h"

namespace tarvo {
namespace {

constexpr long double pi = 3.14159265358979323846264338327950288L;

TEST(EllipticKepler, ResidualVanishesForEveryEccentricity)
{
    for (long double e : {0.0L, 1e-9L, 0.1L, 0.5L, 0.9L, 0.99L, 0.99999L, 0.999999994L}) {
        for (long double M : {0.0L, 1e-12L, 0.001L, 0.5L, 3.0L, pi, -pi, -2.0L, 7.5L, 1000.25L, -12345.678L}) {
            const AnomalySolution s = solveEllipticKepler(e, M);
            EXPECT_TRUE(s.converged) << "e=" << double(e) << " M=" << double(M);
            const long double residual = std::remainder(s.anomaly - e * std::sin(s.anomaly) - M, 2 * pi);
            // Large M carries its own rounding (1e-19 relative) into the residual.
            EXPECT_LT(std::fabs(residual), 1e-17L * std::fmax(1.0L, std::fabs(M)))
                << "e=" << double(e) << " M=" << double(M);
        }
    }
}

TEST(BarkerCubic, AgreesWithCardano)
{
    for (long double q : {1e-4L, 0.3L, 1.0L, 30.0L}) {
        for (long double M : {0.0L, 1e-10L, 0.01L, 1.0L, -2.5L, 1e3L, 1e8L}) {
            const AnomalySolution s = solveBarker(q, M);
            EXPECT_TRUE(s.converged);
            // s^3 + 6 q s - 6 M = 0: s = cbrt(A) - cbrt(B) with A = w + 3|M|,
            // B = w - 3|M|, w = sqrt(9 M^2 + 8 q^3); as A - B = 6|M| and
            // A B = 8 q^3, s = 6|M| / (A^(2/3) + 2q + B^(2/3)).
            const long double m = std::fabs(M);
            const long double w = std::sqrt(9 * m * m + 8 * q * q * q);
            const long double A = w + 3 * m, B = 8 * q * q * q / A;
            const long double cardano =
                std::copysign(6 * m / (std::cbrt(A * A) + 2 * q + std::cbrt(B * B)), M);
            if (M != 0) {
                EXPECT_NEAR(double(s.anomaly / cardano), 1.0, 1e-17) << "q=" << double(q) << " M=" << double(M);
            } else {
                EXPECT_EQ(s.anomaly, 0);
            }
            const long double residual = s.anomaly * s.anomaly * s.anomaly / 6 + q * s.anomaly - M;
            EXPECT_LE(std::fabs(residual), 1e-17L * std::fmax(1.0L, std::fabs(M))) << double(q) << " " << double(M);
        }
    }
}

TEST(HyperbolicKepler, ConvergesWithoutOverflowForLargeMeanAnomalies)
{
    for (long double e : {1.00000001L, 1.001L, 1.5L, 10.0L, 1e4L}) {
        for (long double M : {0.0L, 1e-12L, 1e-3L, 1.0L, -30.0L, 1e3L, 1e5L, 1e12L}) {
            const AnomalySolution s = solveHyperbolicKepler(e, M);
            EXPECT_TRUE(s.converged) << "e=" << double(e) << " M=" << double(M);
            ASSERT_TRUE(std::isfinite(s.anomaly)) << "e=" << double(e) << " M=" << double(M);
            const long double residual = e * std::sinh(s.anomaly) - s.anomaly - M;
            EXPECT_LE(std::fabs(residual), 1e-17L * std::fmax(1.0L, std::fabs(M)))
                << "e=" << double(e) << " M=" << double(M);
        }
    }
}

}  // namespace
}  // namespace tarvo
