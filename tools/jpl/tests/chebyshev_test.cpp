// Chebyshev evaluation against the closed forms T_k(cos t) = cos(k t) and
// dT_k/dx = k sin(k t) / sin t.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "jpl/chebyshev.h"

namespace {

TEST(ChebyshevSeries, SingleTermsMatchTheTrigonometricClosedForm)
{
    for (int k = 0; k < 18; ++k) {
        std::vector<double> c(k + 1, 0.0);
        c[k] = 1.0;
        for (long double t = 0.05L; t < 3.1L; t += 0.137L) {
            const long double x = std::cos(t);
            long double value = 0, derivative = 0;
            jpl::evaluateChebyshev(c.data(), k + 1, x, value, derivative);
            EXPECT_NEAR(static_cast<double>(value), static_cast<double>(std::cos(k * t)), 1e-15) << "k=" << k;
            const long double expected = k * std::sin(k * t) / std::sin(t);
            EXPECT_NEAR(static_cast<double>(derivative), static_cast<double>(expected), 1e-13 * (k * k + 1))
                << "k=" << k;
        }
    }
}

TEST(ChebyshevSeries, EndPointsGiveTheSumsOfTheCoefficients)
{
    // T_k(1) = 1, T_k(-1) = (-1)^k, T_k'(1) = k^2.
    const std::vector<double> c = {0.5, -1.25, 2.0, 0.75, -0.125, 3.0};
    long double value = 0, derivative = 0;
    jpl::evaluateChebyshev(c.data(), static_cast<int>(c.size()), 1.0L, value, derivative);
    double sum = 0, slope = 0, alternating = 0;
    for (std::size_t k = 0; k < c.size(); ++k) {
        sum += c[k];
        slope += c[k] * k * k;
        alternating += (k % 2 ? -1 : 1) * c[k];
    }
    EXPECT_DOUBLE_EQ(static_cast<double>(value), sum);
    EXPECT_DOUBLE_EQ(static_cast<double>(derivative), slope);
    jpl::evaluateChebyshev(c.data(), static_cast<int>(c.size()), -1.0L, value, derivative);
    EXPECT_DOUBLE_EQ(static_cast<double>(value), alternating);
}

TEST(ChebyshevSeries, OneCoefficientIsAConstant)
{
    const double c[] = {7.5};
    long double value = 0, derivative = 1;
    jpl::evaluateChebyshev(c, 1, 0.3L, value, derivative);
    EXPECT_EQ(value, 7.5L);
    EXPECT_EQ(derivative, 0.0L);
}

}  // namespace
