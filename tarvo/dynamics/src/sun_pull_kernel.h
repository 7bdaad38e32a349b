// The loop of sunPull, written once and compiled twice (portable and with
// FMA) through the product policy of the double-double arithmetic.
#pragma once

#include "double_double.h"
#include "sun_pull.h"

namespace tarvo::detail {
namespace {

template <class P, bool Corrected, bool Relativity>
void sunPullLoop(const SunPullInput& in, int count) {
  const DoubleDouble sx{in.sunX.hi, in.sunX.lo}, sy{in.sunY.hi, in.sunY.lo},
      sz{in.sunZ.hi, in.sunZ.lo};
  const DoubleDouble minusMu{-in.muSun.hi, -in.muSun.lo};
  const double K = in.sunJ2Factor, massLoss = in.massLoss, rel = in.relativistic;
  const double p0 = in.pole[0], p1 = in.pole[1], p2 = in.pole[2];
  // The pairs as plain doubles (hi at 2j, lo at 2j + 1), which the
  // vectoriser reads and writes as interleaved streams.
  const double* __restrict x = &in.x->hi;
  const double* __restrict y = &in.y->hi;
  const double* __restrict z = &in.z->hi;
  const double* __restrict sumX = in.sumX;
  const double* __restrict sumY = in.sumY;
  const double* __restrict sumZ = in.sumZ;
  const double* __restrict relFactor = in.relFactor;
  double* __restrict ax = &in.ax->hi;
  double* __restrict ay = &in.ay->hi;
  double* __restrict az = &in.az->hi;
#pragma GCC ivdep
  for (int j = 0; j < count; ++j) {
    const DoubleDouble dx = subtract({x[2 * j], x[2 * j + 1]}, sx);
    const DoubleDouble dy = subtract({y[2 * j], y[2 * j + 1]}, sy);
    const DoubleDouble dz = subtract({z[2 * j], z[2 * j + 1]}, sz);
    const DoubleDouble r2 =
        addSameSign(addSameSign(square<P>(dx), square<P>(dy)), square<P>(dz));
    const DoubleDouble invR = inverseSquareRoot<P>(r2);
    const DoubleDouble rho2 = square<P>(invR);
    const DoubleDouble rho3 = multiply<P>(rho2, invR);
    double correction = 0.0, poleTerm = 0.0;
    if constexpr (Corrected) {
      // The corrections are 1e-6 of the point mass or less: double suffices.
      const double pd = dx.hi * p0 + dy.hi * p1 + dz.hi * p2;
      correction = massLoss + K * (1.0 - 5.0 * pd * pd * rho2.hi) * rho2.hi;
      if constexpr (Relativity) correction += relFactor[j] + rel * invR.hi;
      poleTerm = 2.0 * K * pd * rho2.hi * rho3.hi;
    }
    // g = f r + poleTerm pole with f = rho3 (1 + correction); the pole term
    // (1e-7 of the pull) is carried in double.
    const DoubleDouble f = addDouble(rho3, rho3.hi * correction);
    const DoubleDouble pull = multiply<P>(minusMu, f);
    const double pole = minusMu.hi * poleTerm;
    const DoubleDouble rx = addDouble(multiply<P>(pull, dx), sumX[j] + pole * p0);
    const DoubleDouble ry = addDouble(multiply<P>(pull, dy), sumY[j] + pole * p1);
    const DoubleDouble rz = addDouble(multiply<P>(pull, dz), sumZ[j] + pole * p2);
    ax[2 * j] = rx.hi;
    ax[2 * j + 1] = rx.lo;
    ay[2 * j] = ry.hi;
    ay[2 * j + 1] = ry.lo;
    az[2 * j] = rz.hi;
    az[2 * j + 1] = rz.lo;
  }
}

template <class P>
void sunPullWith(const SunPullInput& in, int count) {
  const bool corrected = in.sunJ2Factor != 0.0 || in.massLoss != 0.0 || in.relFactor != nullptr;
  if (!corrected) {
    sunPullLoop<P, false, false>(in, count);
  } else if (in.relFactor == nullptr) {
    sunPullLoop<P, true, false>(in, count);
  } else {
    sunPullLoop<P, true, true>(in, count);
  }
}

}  // namespace
}  // namespace tarvo::detail
