// Mutual attraction of the major bodies (planets, Moon, the asteroids of the
// major block): every pair, Newtonian, in double precision unless option H;
// the Earth-Moon pair always in extended precision on the geocentric Moon
// vector, with the Earth's and the Moon's figure, the solar term and the
// radial and tangential tidal terms of the extended model.
// O(N_major^2): meant for a few dozen bodies.
#include <algorithm>
#include <cmath>

#include "attraction_kernels.h"
#include "force_passes.h"

namespace tarvo::detail {

namespace {

// The Earth-Moon pair: a_Moon -= m_E rho3 g, a_Earth += m_M rho3 g.
void earthMoonPair(PassContext& c) {
  const long double x = c.moonGeoX, y = c.moonGeoY, z = c.moonGeoZ;
  const long double r2 = x * x + y * y + z * z;
  const long double rho2 = 1.0L / r2;
  const long double rho3 = rho2 / std::sqrt(r2);
  long double g[3] = {x, y, z};
  if (c.extendedModel) {
    const ForceCoefficients& k = c.model.coefficients;
    const long double cosE = c.model.frame.cosObliquity;
    const long double sinE = c.model.frame.sinObliquity;
    const long double CE = k.earthJ2, CM = k.moonFigure;
    const long double CTR = k.tidalRadial, CTT = k.tidalTangential;
    const long double s = z * z * rho2;
    const long double qe = z * cosE - y * sinE;  // along the ecliptic pole
    const long double se = qe * qe * rho2;
    const long double F =
        1.0L + static_cast<long double>(k.earthMoon.C0) +
        rho2 * (static_cast<long double>(k.earthMoon.C1) + CE * s + CM * se +
                static_cast<long double>(k.earthMoon.CS) * c.moonInvDistSq);
    g[0] = F * x + rho2 * rho3 * (CTR * x + CTT * y);
    g[1] = F * y + rho2 * (rho3 * (CTR * y - CTT * x) + 0.4L * CM * qe * sinE);
    g[2] = F * z + rho2 * (rho3 * CTR * z - 0.4L * (CE * z + CM * qe * cosE));
  }
  const long double mE = c.table.stepMass[c.earth] * rho3;
  const long double mM = c.table.stepMass[c.moon] * rho3;
  for (int k = 0; k < 3; ++k) {
    c.moonPull[k] = mE * g[k];
    c.earthPull[k] = mM * g[k];
  }
  c.earthMoonPair = true;
}

// Newtonian pairs i < j <= lastMajor on the extended path, the Earth-Moon
// pair left out (handled with its figure terms).
void newtonianPairsExtended(PassContext& c, const long double* x, const long double* y,
                            const long double* z, const long double* m, long double* ax,
                            long double* ay, long double* az) {
  const int last = std::min(c.lastMajor, c.N);
  for (int i = 1; i < last; ++i) {
    for (int j = i + 1; j <= last; ++j) {
      if (c.moonIn && ((i == c.earth && j == c.moon) || (i == c.moon && j == c.earth))) {
        continue;
      }
      const long double dx = x[j] - x[i], dy = y[j] - y[i], dz = z[j] - z[i];
      const long double r2 = dx * dx + dy * dy + dz * dz;
      const long double rho3 = 1.0L / (r2 * std::sqrt(r2));
      const long double fi = m[i] * rho3, fj = m[j] * rho3;
      ax[j] -= fi * dx;
      ay[j] -= fi * dy;
      az[j] -= fi * dz;
      ax[i] += fj * dx;
      ay[i] += fj * dy;
      az[i] += fj * dz;
    }
  }
}

// The same on the double path in three sweeps over the pairs, numbered row
// by row (i, then j > i): separations, then 1/r^3 of all pairs as one vector
// loop (square roots and divisions dominate), then the sums. The Earth-Moon
// pair gets 1/r^3 = 0, which adds exact zeros.
void newtonianPairsDouble(PassContext& c) {
  ForceWork& w = c.model.work;
  const int last = std::min(c.lastMajor, c.N);
  if (last < 2) return;
  const std::size_t pairs = static_cast<std::size_t>(last) * (last - 1) / 2;
  if (w.pairRho3.size() < pairs) {
    for (auto* v : {&w.pairDx, &w.pairDy, &w.pairDz, &w.pairRho3}) v->resize(pairs);
  }
  const double* __restrict px = w.px.data();
  const double* __restrict py = w.py.data();
  const double* __restrict pz = w.pz.data();
  const double* __restrict m = w.gm.data();
  double* __restrict ax = w.ax.data();
  double* __restrict ay = w.ay.data();
  double* __restrict az = w.az.data();
  double* __restrict dx = w.pairDx.data();
  double* __restrict dy = w.pairDy.data();
  double* __restrict dz = w.pairDz.data();
  double* __restrict rho3 = w.pairRho3.data();
  std::size_t p = 0;
  for (int i = 1; i < last; ++i) {
    const double xi = px[i], yi = py[i], zi = pz[i];
    for (int j = i + 1; j <= last; ++j, ++p) {
      dx[p] = px[j] - xi;
      dy[p] = py[j] - yi;
      dz[p] = pz[j] - zi;
    }
  }
  inverseCubes(dx, dy, dz, rho3, static_cast<int>(pairs));
  if (c.moonIn) {
    const int i = std::min(c.earth, c.moon), j = std::max(c.earth, c.moon);
    if (i >= 1 && j <= last) {
      // Row i starts after the rows 1 .. i-1 of (last - r) pairs each.
      const std::size_t row = static_cast<std::size_t>(i - 1) * last -
                              static_cast<std::size_t>(i - 1) * i / 2;
      rho3[row + (j - i - 1)] = 0.0;
    }
  }
  p = 0;
  for (int i = 1; i < last; ++i) {
    const double mi = m[i];
    double bx = 0.0, by = 0.0, bz = 0.0;
    for (int j = i + 1; j <= last; ++j, ++p) {
      const double fi = mi * rho3[p], fj = m[j] * rho3[p];
      ax[j] -= fi * dx[p];
      ay[j] -= fi * dy[p];
      az[j] -= fi * dz[p];
      bx += fj * dx[p];
      by += fj * dy[p];
      bz += fj * dz[p];
    }
    ax[i] += bx;
    ay[i] += by;
    az[i] += bz;
  }
}

}  // namespace

void majorPairsPass(PassContext& c) {
  ForceWork& w = c.model.work;
  if (c.doublePath) {
    newtonianPairsDouble(c);
  } else {
    newtonianPairsExtended(c, c.in.x, c.in.y, c.in.z, c.table.stepMass.data(), w.exAx.data(),
                           w.exAy.data(), w.exAz.data());
  }
  if (c.moonIn && c.moon <= c.lastMajor && c.earth <= c.lastMajor) {
    c.moonInvDistSq = moonInverseDistanceSquared(c);
    earthMoonPair(c);
  }
}

}  // namespace tarvo::detail
