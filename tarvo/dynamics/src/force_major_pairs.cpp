// Mutual attraction of the major bodies (planets, Moon, the asteroids of the
// major block): every pair, Newtonian, in double precision unless option H;
// the Earth-Moon pair always in extended precision on the geocentric Moon
// vector, with the Earth's and the Moon's figure, the solar term and the
// radial and tangential tidal terms of the extended model.
// O(N_major^2): meant for a few dozen bodies.
#include <algorithm>
#include <cmath>

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

template <typename T>
void newtonianPairs(PassContext& c, const T* x, const T* y, const T* z, const T* m, T* ax,
                    T* ay, T* az) {
  const int last = std::min(c.lastMajor, c.N);
  for (int i = 1; i < last; ++i) {
    for (int j = i + 1; j <= last; ++j) {
      if (c.moonIn && ((i == c.earth && j == c.moon) || (i == c.moon && j == c.earth))) {
        continue;
      }
      const T dx = x[j] - x[i], dy = y[j] - y[i], dz = z[j] - z[i];
      const T r2 = dx * dx + dy * dy + dz * dz;
      const T rho3 = T(1) / (r2 * std::sqrt(r2));
      const T fi = m[i] * rho3, fj = m[j] * rho3;
      ax[j] -= fi * dx;
      ay[j] -= fi * dy;
      az[j] -= fi * dz;
      ax[i] += fj * dx;
      ay[i] += fj * dy;
      az[i] += fj * dz;
    }
  }
}

}  // namespace

void majorPairsPass(PassContext& c) {
  ForceWork& w = c.model.work;
  if (c.doublePath) {
    newtonianPairs<double>(c, w.px.data(), w.py.data(), w.pz.data(), w.gm.data(), w.ax.data(),
                           w.ay.data(), w.az.data());
  } else {
    newtonianPairs<long double>(c, c.in.x, c.in.y, c.in.z, c.table.stepMass.data(),
                                w.exAx.data(), w.exAy.data(), w.exAz.data());
  }
  if (c.moonIn && c.moon <= c.lastMajor && c.earth <= c.lastMajor) earthMoonPair(c);
}

}  // namespace tarvo::detail
