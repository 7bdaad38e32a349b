// Non-gravitational forces of comets and asteroids: radial, transverse and
// normal components scaled by the g(r) law of outgassing comets ("Marsden ")
// or by the inverse square of the distance ("Yarkov. "), and the asymmetric
// variant whose g(r) is taken at the distance the body had tau days earlier
// on its osculating orbit. The asymmetric shift needs a bound orbit; for
// unbound or circular orbits the plain distance is used.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tarvo/dynamics/force_model.h"

namespace tarvo {

namespace {

double norm(const std::array<double, 3>& v) {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

KeplerSolution solveKepler(double a, double e, double M) {
  double E = M;
  for (int round = 0; round < 1000; ++round) {
    const double s = e * std::sin(E);
    const double f = E - s - M;
    const double f1 = 1.0 - e * std::cos(E);
    const double dE = f / (f1 - 0.5 * f * s / f1);
    E -= dE;
    if (std::fabs(dE) < 1e-13) break;
  }
  return {a * (1.0 - e * std::cos(E)), E};
}

bool asymmetricDistanceQuadratic(const std::array<double, 3>& r, const std::array<double, 3>& v,
                                 double mu, double tau, int direction, double h,
                                 std::array<double, 3>& c) {
  c = {0.0, 0.0, 0.0};
  const double rn = norm(r);
  const double v2 = dot(v, v);
  if (!(rn > 0.0) || !(mu > 0.0)) return false;
  const double inverseA = 2.0 / rn - v2 / mu;
  if (!(inverseA > 0.0)) return false;  // parabolic or hyperbolic
  const double a = 1.0 / inverseA;
  const std::array<double, 3> hv = cross(r, v);
  const double p = dot(hv, hv) / mu;
  const double e2 = std::clamp(1.0 - p / a, 0.0, 1.0);
  const double e = std::sqrt(e2);
  if (!(e > 1e-12) || !(e < 1.0)) return false;  // circular: no anomaly to shift
  const double n = std::sqrt(mu / (a * a * a));
  const double cosNu = std::clamp((p / rn - 1.0) / e, -1.0, 1.0);
  const double sinNu = std::sqrt(p / mu) * dot(r, v) / (rn * e);
  const double nu = std::atan2(sinNu, cosNu);
  const double cosE = std::clamp(rn * std::cos(nu) / a + e, -1.0, 1.0);
  const double sinE = rn * std::sin(nu) / (a * std::sqrt(1.0 - e2));
  const double E = std::atan2(sinE >= 0.0 ? std::sqrt(std::max(0.0, 1.0 - cosE * cosE))
                                          : -std::sqrt(std::max(0.0, 1.0 - cosE * cosE)),
                              cosE);
  const double twoPi = 2.0 * std::numbers::pi;
  double M = E - e * std::sin(E) - tau * direction * n;
  M = std::fmod(M, twoPi);
  if (M < 0.0) M += twoPi;
  const double r0 = solveKepler(a, e, M).r;
  const double rm = solveKepler(a, e, M + direction * n * h / 2.0).r;
  const double r1 = solveKepler(a, e, M + direction * n * h).r;
  c = {r0, 4.0 * rm - 3.0 * r0 - r1, 2.0 * r1 + 2.0 * r0 - 4.0 * rm};
  return std::isfinite(r0) && std::isfinite(rm) && std::isfinite(r1);
}

std::array<long double, 3> nonGravitationalAcceleration(const BodyTable& table,
                                                        const IntegrationState& state,
                                                        const ForceCoefficients& k, int i,
                                                        const std::array<double, 3>& r,
                                                        const std::array<double, 3>& w,
                                                        double delayedDistance, long double H) {
  std::array<long double, 3> out{0.0L, 0.0L, 0.0L};
  const double rn = norm(r);
  if (!(rn > 0.0)) return out;
  const std::array<double, 3> hv = cross(r, w);
  const std::array<double, 3> tv = cross(hv, r);
  const double hn = norm(hv), tn = norm(tv);
  const double au = static_cast<double>(k.astronomicalUnit);
  const double H2 = static_cast<double>(H * H);
  double g = 0.0;
  if (state.options.nonGravMode == NonGravLaw::marsden) {
    const double distance = delayedDistance > 0.0 ? delayedDistance : rn;
    const double rho = distance / (au * k.gr0);
    g = std::pow(rho, -k.grM) * std::pow(1.0 + k.grB * std::pow(rho, k.grN), -k.grK) * H2;
  } else {
    // Inverse square of the distance in AU. The loader scales the
    // coefficients by objectNumber * AU; a number in (0, 1) cancels here.
    g = H2 * au * au / (rn * rn);
    const double number = table.objectNumber[i];
    if (number > 0.0 && number < 1.0) g /= number;
  }
  const double A1 = table.A1[i], A2 = table.A2[i], A3 = table.A3[i];
  const double dir = state.direction;
  for (int m = 0; m < 3; ++m) {
    double component = A1 * r[m] / rn;
    if (tn > 0.0) component += dir * A2 * tv[m] / tn;
    if (hn > 0.0) component += dir * A3 * hv[m] / hn;
    out[m] = g * component;
  }
  return out;
}

}  // namespace tarvo
