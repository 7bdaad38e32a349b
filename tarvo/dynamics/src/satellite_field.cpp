// The Earth's field on a geocentric satellite: point mass with the zonal
// harmonics J2, J3, J4 and an exponential atmosphere drag. Meant for
// satellites from low orbits out to a few Earth radii; no tesseral terms, no
// Earth rotation in the drag, no solar radiation pressure.
#include <algorithm>
#include <cmath>

#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

std::array<long double, 3> satelliteFieldAcceleration(const std::array<long double, 3>& r,
                                                      const std::array<long double, 3>& v,
                                                      long double muH2, double C2, double C3,
                                                      double C4, double dragFactor) {
  const long double x = r[0], y = r[1], z = r[2];
  const long double r2 = x * x + y * y + z * z;
  const long double rn = std::sqrt(r2);
  const long double rho2 = 1.0L / r2;
  const long double rho3 = rho2 / rn;
  const long double s = z * z * rho2;  // sin^2 of the latitude
  const long double c2 = C2, c3 = C3, c4 = C4;
  // J4 and J3 parts: D_xy scales x and y; D_z is added to the z component.
  const long double dxy = (((63.0L * s - 42.0L) * s + 3.0L) * c4 + (3.0L - 7.0L * s) * z * c3) *
                          rho2 * rho2;
  const long double dz = ((63.0L * s - 70.0L) * s + 15.0L) * z * c4 * rho2 * rho2 +
                         (10.0L * z * z * (1.0L - 7.0L * s / 6.0L) / rn - rn) * c3 * 0.6L * rho3;
  const long double fxy = (s - 0.2L) * c2 * rho2 + 1.0L + dxy;
  const long double fz = 1.0L + (s - 0.6L) * c2 * rho2;
  std::array<long double, 3> a = {-muH2 * rho3 * fxy * x, -muH2 * rho3 * fxy * y,
                                  -muH2 * rho3 * (fz * z + dz)};
  if (dragFactor != 0.0) {
    const long double R = earthEquatorialRadius;
    const long double altitude =
        std::max(0.0L, rn - R * std::sqrt(1.0L - earthEccentricitySquared * s));
    const long double q = dragFactor * std::exp(-altitude / (0.16L * altitude + 8e-06L));
    for (int k = 0; k < 3; ++k) a[k] -= std::fabs(v[k]) * v[k] * q;
  }
  return a;
}

}  // namespace tarvo
