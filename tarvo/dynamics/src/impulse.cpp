// Single impulsive velocity changes of minor bodies (option "^"), applied by
// the driver after each accepted step whose time span holds the impulse
// epoch. The change is instantaneous: the position is not corrected for
// the part of the step that followed the impulse.
#include <cmath>

#include "tarvo/dynamics/integrator.h"
#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;

Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

long double norm(const Vec& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

void applyImpulses(BodyTable& t, const IntegrationState& s, long double tA, long double tB,
                   long double h) {
  const int N = t.layout.bodyCount;
  for (int j = t.layout.lastMajor + 1; j <= N; ++j) {
    const Impulse& imp = t.impulse[j];
    if (imp.deltaV[0] == 0.0 && imp.deltaV[1] == 0.0 && imp.deltaV[2] == 0.0) continue;
    const long double epoch = imp.epoch;
    if (!(tA < epoch && epoch <= tB)) continue;
    // Relative to the central body: the Sun, or the Earth for satellites.
    const bool geocentric = isStoredGeocentric(t, j, s.satelliteMode);
    const int centre = 0;
    Vec r = {t.posX[j], t.posY[j], t.posZ[j]};
    Vec v = {t.velX[j], t.velY[j], t.velZ[j]};
    if (!geocentric) {
      r = {r[0] - t.posX[centre], r[1] - t.posY[centre], r[2] - t.posZ[centre]};
      v = {v[0] - t.velX[centre], v[1] - t.velY[centre], v[2] - t.velZ[centre]};
    }
    const Vec n = cross(v, r);
    const Vec w = cross(n, v);
    const long double vn = norm(v), nn = norm(n), wn = norm(w);
    if (!(vn > 0.0L) || !(nn > 0.0L) || !(wn > 0.0L)) continue;
    const long double scale = h * kmPerSecondToGmPerDay;
    const long double dv1 = imp.deltaV[0], dv2 = imp.deltaV[1], dv3 = imp.deltaV[2];
    const long double dir = s.direction;
    long double* vel[3] = {&t.velX[j], &t.velY[j], &t.velZ[j]};
    for (int k = 0; k < 3; ++k) {
      *vel[k] += scale * (dv1 * v[k] / vn + dir * (dv3 * n[k] / nn + dv2 * w[k] / wn));
    }
  }
}

}  // namespace tarvo
