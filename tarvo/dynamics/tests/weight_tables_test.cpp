// Weight tables of the extrapolation integrator. Oracle: exact integer
// arithmetic of the Richardson conditions (128-bit), independent of how the
// tables were written down.
#include <gtest/gtest.h>

#include <cmath>

#include "tarvo/dynamics/weight_tables.h"

namespace tarvo {
namespace {

using Int = __int128;

Int toInt(double v) { return static_cast<Int>(v); }

TEST(ExtrapolationWeights, AreTheRichardsonWeightsInTheSquaredSubstep) {
  // W[M][j+1] * prod_{i != j} (n_j^2 - n_i^2) == D_M * n_j^(2M), exactly.
  for (int M = 0; M <= maxOrderCode; ++M) {
    const WeightRow& row = extrapolationWeights[M];
    Int sum = 0;
    for (int j = 0; j <= M; ++j) {
      const Int nj2 = static_cast<Int>(substepSequence[j]) * substepSequence[j];
      Int product = 1;
      for (int i = 0; i <= M; ++i) {
        if (i != j) product *= nj2 - static_cast<Int>(substepSequence[i]) * substepSequence[i];
      }
      Int power = 1;
      for (int k = 0; k < M; ++k) power *= nj2;
      EXPECT_TRUE(toInt(row[j + 1]) * product == toInt(row[0]) * power) << "M " << M << " j " << j;
      sum += toInt(row[j + 1]);
    }
    EXPECT_TRUE(sum == toInt(row[0])) << "M " << M;
    for (int k = M + 2; k < 10; ++k) EXPECT_EQ(row[k], 0.0);
  }
}

TEST(ErrorWeights, AreTheWeightsOverTheSquaredSubstepAndSumToZero) {
  for (int M = 6; M <= 8; ++M) {
    const WeightRow& e = errorWeights[M];
    const WeightRow& w = extrapolationWeights[M];
    EXPECT_EQ(e[0], w[0]);
    Int sum = 0;
    for (int j = 0; j <= M; ++j) {
      const Int n2 = static_cast<Int>(substepSequence[j]) * substepSequence[j];
      EXPECT_TRUE(toInt(e[j + 1]) * n2 == toInt(w[j + 1])) << "M " << M << " j " << j;
      sum += toInt(e[j + 1]);
    }
    EXPECT_TRUE(sum == 0) << "M " << M;
  }
}

TEST(MoonWeights, HaveOneExtrapolationOrderFewerThanW) {
  for (int M = 6; M <= 8; ++M) {
    const WeightRow& l = moonWeights[M];
    Int sum = 0;
    for (int j = 0; j <= M; ++j) sum += toInt(l[j + 1]);
    EXPECT_TRUE(sum == toInt(l[0])) << "M " << M;
    // sum_j Lw_j / n_j^(2k) = 0 for k = 1 .. M-1: multiply by L = lcm-free
    // product n_j^(2k) of all stages to stay in integers (12^16 * ... fits
    // only for small k, so compare in long double relative to the terms).
    for (int k = 1; k <= M; ++k) {
      long double s = 0.0L, scale = 0.0L;
      for (int j = 0; j <= M; ++j) {
        const long double term = l[j + 1] / std::pow(static_cast<long double>(substepSequence[j]), 2 * k);
        s += term;
        scale += std::fabs(term);
      }
      if (k < M) {
        EXPECT_LT(std::fabs(s) / scale, 1e-17L) << "M " << M << " k " << k;
      } else {
        EXPECT_GT(std::fabs(s) / scale, 1e-6L) << "M " << M << " k " << k;
      }
    }
  }
}

TEST(ForceEvaluations, PerAttempt) {
  EXPECT_EQ(forceEvaluationsPerStep(0), 2);
  EXPECT_EQ(forceEvaluationsPerStep(6), 30);
  EXPECT_EQ(forceEvaluationsPerStep(7), 40);
  EXPECT_EQ(forceEvaluationsPerStep(8), 52);
}

}  // namespace
}  // namespace tarvo
