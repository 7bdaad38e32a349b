#include "test_systems.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

#include "tarvo/dynamics/physical_constants.h"

namespace tarvo::testing {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDeg = kPi / 180.0L;
constexpr long double kAu = 149.5978707L;

long double solveEccentricAnomaly(long double M, long double e) {
  long double E = e < 0.8L ? M : kPi;
  for (int k = 0; k < 100; ++k) {
    const long double d = (E - e * std::sin(E) - M) / (1.0L - e * std::cos(E));
    E -= d;
    if (std::fabs(d) < 1e-19L) break;
  }
  return E;
}

// Approximate mean elements of J2000 (a in AU, e, i, L, varpi, node in
// degrees) and masses in 10^24 kg.
struct PlanetRow {
  long double a, e, i, L, varpi, node, mass;
};
constexpr PlanetRow kPlanets[9] = {
    {0.38709927L, 0.20563593L, 7.00497902L, 252.25032350L, 77.45779628L, 48.33076593L, 0.330104L},
    {0.72333566L, 0.00677672L, 3.39467605L, 181.97909950L, 131.60246718L, 76.67984255L, 4.86732L},
    {1.00000261L, 0.01671123L, 0.00001531L, 100.46457166L, 102.93768193L, 0.0L, 5.97219L},
    {1.52371034L, 0.09339410L, 1.84969142L, -4.55343205L, -23.94362959L, 49.55953891L, 0.641693L},
    {5.20288700L, 0.04838624L, 1.30439695L, 34.39644051L, 14.72847983L, 100.47390909L, 1898.13L},
    {9.53667594L, 0.05386179L, 2.48599187L, 49.95424423L, 92.59887831L, 113.66242448L, 568.319L},
    {19.18916464L, 0.04725744L, 0.77263783L, 313.23810451L, 170.95427630L, 74.01692503L, 86.8103L},
    {30.06992276L, 0.00859048L, 1.77004347L, -55.12002969L, 44.96476227L, 131.78422574L, 102.410L},
    {39.48211675L, 0.24882730L, 17.14001206L, 238.92903833L, 224.06891629L, 110.30393684L, 0.01309L},
};
// Ceres, Pallas, Vesta: a (AU), e, i, node, argument of perihelion, M, mass.
struct AsteroidRow {
  long double a, e, i, node, peri, M, mass;
};
constexpr AsteroidRow kAsteroids[3] = {
    {2.7675L, 0.0758L, 10.59L, 80.3L, 73.6L, 77.0L, 0.000939L},
    {2.7730L, 0.2302L, 34.84L, 173.1L, 310.0L, 78.0L, 0.000204L},
    {2.3615L, 0.0887L, 7.14L, 103.8L, 151.2L, 20.9L, 0.000259L},
};
constexpr long double kMoonMass = 0.07346L;

void put(BodyTable& t, int i, long double mass, const StateVector& s) {
  t.mass[i] = mass;
  t.posX[i] = s.r[0];
  t.posY[i] = s.r[1];
  t.posZ[i] = s.r[2];
  t.velX[i] = s.v[0];
  t.velY[i] = s.v[1];
  t.velZ[i] = s.v[2];
}

}  // namespace

long double sunMassGauss() {
  const long double k = 0.01720209895L;
  return k * k * kAu * kAu * kAu / gravitationalConstant;
}

StateVector keplerState(long double mu, long double a, long double e, long double iDeg,
                        long double nodeDeg, long double periDeg, long double meanDeg) {
  const long double E = solveEccentricAnomaly(std::remainder(meanDeg * kDeg, 2 * kPi), e);
  const long double b = a * std::sqrt(1.0L - e * e);
  const long double n = std::sqrt(mu / (a * a * a));
  const long double rn = a * (1.0L - e * std::cos(E));
  const long double xp = a * (std::cos(E) - e), yp = b * std::sin(E);
  const long double vxp = -a * n * std::sin(E) * a / rn, vyp = b * n * std::cos(E) * a / rn;
  const long double cO = std::cos(nodeDeg * kDeg), sO = std::sin(nodeDeg * kDeg);
  const long double cw = std::cos(periDeg * kDeg), sw = std::sin(periDeg * kDeg);
  const long double ci = std::cos(iDeg * kDeg), si = std::sin(iDeg * kDeg);
  const long double P[3] = {cO * cw - sO * sw * ci, sO * cw + cO * sw * ci, sw * si};
  const long double Q[3] = {-cO * sw - sO * cw * ci, -sO * sw + cO * cw * ci, cw * si};
  StateVector s;
  for (int k = 0; k < 3; ++k) {
    s.r[k] = xp * P[k] + yp * Q[k];
    s.v[k] = vxp * P[k] + vyp * Q[k];
  }
  return s;
}

StateVector keplerPropagate(long double mu, const StateVector& s, long double dt) {
  // Universal-free elliptic propagation through the f and g functions.
  const Vec3& r0 = s.r;
  const Vec3& v0 = s.v;
  const long double rn = length(r0);
  const long double v2 = v0[0] * v0[0] + v0[1] * v0[1] + v0[2] * v0[2];
  const long double a = 1.0L / (2.0L / rn - v2 / mu);
  const long double n = std::sqrt(mu / (a * a * a));
  const long double rv = r0[0] * v0[0] + r0[1] * v0[1] + r0[2] * v0[2];
  const long double ecosE = 1.0L - rn / a, esinE = rv / std::sqrt(mu * a);
  const long double E0 = std::atan2(esinE, ecosE);
  const long double e = std::hypot(ecosE, esinE);
  const long double M0 = E0 - esinE;
  const long double M = M0 + n * dt;
  const long double E = solveEccentricAnomaly(std::remainder(M, 2 * kPi), e) +
                        (M - std::remainder(M, 2 * kPi));
  const long double dE = E - E0;
  const long double f = 1.0L - a / rn * (1.0L - std::cos(dE));
  const long double g = dt - (dE - std::sin(dE)) / n;
  StateVector out;
  for (int k = 0; k < 3; ++k) out.r[k] = f * r0[k] + g * v0[k];
  const long double r1 = length(out.r);
  const long double fd = -std::sqrt(mu * a) / (r1 * rn) * std::sin(dE);
  const long double gd = 1.0L - a / r1 * (1.0L - std::cos(dE));
  for (int k = 0; k < 3; ++k) out.v[k] = fd * r0[k] + gd * v0[k];
  return out;
}

void buildSolarSystem(BodyTable& t, IntegrationState& s, bool withAsteroids, int minors,
                      std::uint32_t seed) {
  const int dataSet = withAsteroids ? 2 : 3;
  const int needed = 14 + minors + 3;
  createBodyTable(std::max(needed, 100), t);
  t.layout = dataSetLayout(dataSet, t.maxBodies).layout;
  s = IntegrationState{};
  s.dataSet = dataSet;
  const long double sun = sunMassGauss();
  put(t, 0, sun, StateVector{});
  for (int p = 0; p < 9; ++p) {
    const PlanetRow& row = kPlanets[p];
    const long double mu = gravitationalConstant * (sun + row.mass);
    const StateVector st = keplerState(mu, row.a * kAu, row.e, row.i, row.node,
                                       row.varpi - row.node, row.L - row.varpi);
    put(t, p + 1, row.mass, st);
  }
  // The Moon, geocentric.
  const long double muEM = gravitationalConstant * (kPlanets[2].mass + kMoonMass);
  put(t, 10, kMoonMass, keplerState(muEM, 0.3844L, 0.0549L, 5.145L, 125.08L, 318.15L, 135.27L));
  int last = 10;
  if (withAsteroids) {
    for (int k = 0; k < 3; ++k) {
      const AsteroidRow& row = kAsteroids[k];
      const long double mu = gravitationalConstant * (sun + row.mass);
      put(t, 11 + k, row.mass,
          keplerState(mu, row.a * kAu, row.e, row.i, row.node, row.peri, row.M));
    }
    last = 13;
  }
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> uni(0.0, 1.0);
  const long double mu = gravitationalConstant * sun;
  for (int k = 0; k < minors; ++k) {
    const long double a = (2.1L + 1.2L * uni(rng)) * kAu;
    const StateVector st = keplerState(mu, a, 0.25L * uni(rng), 20.0L * uni(rng),
                                       360.0L * uni(rng), 360.0L * uni(rng), 360.0L * uni(rng));
    put(t, last + 1 + k, 0.0L, st);
  }
  t.layout.bodyCount = last + minors;
  for (int i = 0; i <= t.layout.bodyCount; ++i) t.objectNumber[i] = -i;
  s.derived = deriveConstants(t);
}

void toEquatorial(BodyTable& t) {
  const long double eps = 84381.406L / 3600.0L * kDeg;
  const long double c = std::cos(eps), s = std::sin(eps);
  for (int i = 0; i <= t.layout.bodyCount; ++i) {
    const long double y = t.posY[i], z = t.posZ[i];
    t.posY[i] = c * y - s * z;
    t.posZ[i] = s * y + c * z;
    const long double vy = t.velY[i], vz = t.velZ[i];
    t.velY[i] = c * vy - s * vz;
    t.velZ[i] = s * vy + c * vz;
  }
}

void buildTwoBody(BodyTable& t, IntegrationState& s, long double bodyMass,
                  const StateVector& relative) {
  createBodyTable(100, t);
  t.layout = dataSetLayout(5, t.maxBodies).layout;
  t.layout.lastMajor = t.layout.lastMassive = t.layout.bodyCount = 1;
  s = IntegrationState{};
  s.dataSet = 5;
  put(t, 0, sunMassGauss(), StateVector{});
  put(t, 1, bodyMass, relative);
  s.derived = deriveConstants(t);
}

bool integrate(BodyTable& t, IntegrationState& s, ForceModel& model, Integrator& integrator,
               long steps) {
  for (long k = 0; k < steps; ++k) {
    if (advanceNominalStep(t, s, model, integrator).status != IntegrateStatus::ok) return false;
  }
  return true;
}

StateVector trueState(const BodyTable& t, const IntegrationState& s, int i) {
  StateVector out;
  const long double scale = 1.0L / (s.direction * s.step);
  out.r = {t.posX[i], t.posY[i], t.posZ[i]};
  out.v = {t.velX[i] * scale, t.velY[i] * scale, t.velZ[i] * scale};
  if (isStoredGeocentric(t, i, s.satelliteMode)) {
    const int e = t.layout.earthIndex;
    out.r = {out.r[0] + t.posX[e], out.r[1] + t.posY[e], out.r[2] + t.posZ[e]};
    out.v = {out.v[0] + t.velX[e] * scale, out.v[1] + t.velY[e] * scale,
             out.v[2] + t.velZ[e] * scale};
  }
  return out;
}

long double totalEnergy(const BodyTable& t, const IntegrationState& s) {
  const int N = t.layout.bodyCount;
  long double kinetic = 0.0L, potential = 0.0L;
  for (int i = 0; i <= N; ++i) {
    const StateVector a = trueState(t, s, i);
    kinetic += 0.5L * t.mass[i] *
               (a.v[0] * a.v[0] + a.v[1] * a.v[1] + a.v[2] * a.v[2]);
    for (int j = i + 1; j <= N; ++j) {
      if (t.mass[i] == 0.0L || t.mass[j] == 0.0L) continue;
      long double d;
      if (i == t.layout.earthIndex && j == t.layout.moonIndex) {
        d = length({t.posX[j], t.posY[j], t.posZ[j]});
      } else {
        d = distance(a.r, trueState(t, s, j).r);
      }
      potential -= gravitationalConstant * t.mass[i] * t.mass[j] / d;
    }
  }
  return kinetic + potential;
}

long double distance(const Vec3& a, const Vec3& b) {
  return length({a[0] - b[0], a[1] - b[1], a[2] - b[2]});
}

long double length(const Vec3& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

}  // namespace tarvo::testing

namespace tarvo::testing {

std::string scientific(long double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4Lg", value);
  return text;
}

}  // namespace tarvo::testing
