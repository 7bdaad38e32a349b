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
    long double* a = k == 0 ? c.acc.x.data() : k == 1 ? c.acc.y.data() : c.acc.z.data();
    a[c.moon] -= mE * g[k];
    a[c.earth] += mM * g[k];
  }
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

// The same on the double path in three sweeps over the list of pairs:
// separations, then 1/r^3 of all pairs as one vector loop (square roots
// and divisions dominate), then the sums in pair order.
void newtonianPairsDouble(PassContext& c) {
  ForceWork& w = c.model.work;
  const int last = std::min(c.lastMajor, c.N);
  const std::array<int, 4> key = {last, c.earth, c.moon, c.moonIn ? 1 : 0};
  if (key != w.pairKey) {
    w.pairKey = key;
    w.pairI.clear();
    w.pairJ.clear();
  }
  const bool build = w.pairI.empty();
  for (int i = 1; i < last && build; ++i) {
    for (int j = i + 1; j <= last; ++j) {
      if (c.moonIn && ((i == c.earth && j == c.moon) || (i == c.moon && j == c.earth))) {
        continue;
      }
      w.pairI.push_back(i);
      w.pairJ.push_back(j);
    }
  }
  const int pairs = static_cast<int>(w.pairI.size());
  w.pairDx.resize(pairs);
  w.pairDy.resize(pairs);
  w.pairDz.resize(pairs);
  w.pairRho3.resize(pairs);
  const double* px = w.px.data();
  const double* py = w.py.data();
  const double* pz = w.pz.data();
  for (int p = 0; p < pairs; ++p) {
    const int i = w.pairI[p], j = w.pairJ[p];
    w.pairDx[p] = px[j] - px[i];
    w.pairDy[p] = py[j] - py[i];
    w.pairDz[p] = pz[j] - pz[i];
  }
  inverseCubes(w.pairDx.data(), w.pairDy.data(), w.pairDz.data(), w.pairRho3.data(), pairs);
  const double* m = w.gm.data();
  double* ax = w.ax.data();
  double* ay = w.ay.data();
  double* az = w.az.data();
  // The list runs i by i: each i's gain is summed in registers.
  int p = 0;
  while (p < pairs) {
    const int i = w.pairI[p];
    const double mi = m[i];
    double bx = 0.0, by = 0.0, bz = 0.0;
    for (; p < pairs && w.pairI[p] == i; ++p) {
      const int j = w.pairJ[p];
      const double rho3 = w.pairRho3[p];
      const double fi = mi * rho3, fj = m[j] * rho3;
      const double dx = w.pairDx[p], dy = w.pairDy[p], dz = w.pairDz[p];
      ax[j] -= fi * dx;
      ay[j] -= fi * dy;
      az[j] -= fi * dz;
      bx += fj * dx;
      by += fj * dy;
      bz += fj * dz;
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
  if (c.moonIn && c.moon <= c.lastMajor && c.earth <= c.lastMajor) earthMoonPair(c);
}

}  // namespace tarvo::detail
