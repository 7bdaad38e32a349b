// Secular effects of the extended force model, integrated and measured by
// least-squares slopes of osculating angles. Oracles: the published
// relativistic perihelion advance of Mercury (42.98" per century) and the
// first-order nodal precession -1.5 n J2 (R/p)^2 cos i of an oblate central
// body (Sun and Earth).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

using testing::Vec3;

#ifdef TARVO_SANITIZED
constexpr long double kSpanScale = 0.25L;
#else
constexpr long double kSpanScale = 1.0L;
#endif

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kArcsecPerRadian = 648000.0L / kPi;

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
long double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 unit(const Vec3& a) {
  const long double l = testing::length(a);
  return {a[0] / l, a[1] / l, a[2] / l};
}

// Least-squares slope of an angle series (unwrapped), per day.
struct SlopeFit {
  long double n = 0, st = 0, sy = 0, stt = 0, sty = 0, last = 0, turns = 0;
  bool started = false;
  void add(long double t, long double angle) {
    if (started) {
      const long double d = angle - last;
      if (d > kPi) turns -= 2 * kPi;
      if (d < -kPi) turns += 2 * kPi;
    }
    started = true;
    last = angle;
    const long double y = angle + turns;
    n += 1;
    st += t;
    sy += y;
    stt += t * t;
    sty += t * y;
  }
  long double slope() const { return (n * sty - st * sy) / (n * stt - st * st); }
};

// Heliocentric (or geocentric) relative state of body i to body c.
testing::StateVector relative(const BodyTable& t, const IntegrationState& s, int i, int c) {
  const auto a = testing::trueState(t, s, i);
  const auto b = testing::trueState(t, s, c);
  testing::StateVector r;
  for (int k = 0; k < 3; ++k) {
    r.r[k] = a.r[k] - b.r[k];
    r.v[k] = a.v[k] - b.v[k];
  }
  return r;
}

// Perihelion longitude slope (arcsec per Julian century) of Sun + Mercury.
long double mercuryPerihelionRate(bool relativity, long double years) {
  BodyTable t;
  IntegrationState s;
  ForceModel m;
  Integrator integrator;
  const long double mu0 = gravitationalConstant * (testing::sunMassGauss() + 0.330104L);
  const long double a = 0.38709927L * 149.5978707L, e = 0.20563593L;
  testing::buildTwoBody(t, s, 0.330104L,
                        testing::keplerState(mu0, a, e, 7.00497902L, 48.33076593L,
                                             29.12703035L, 174.79252722L));
  s.options.extendedModel = relativity;
  m.coefficients = forceCoefficientsForDataSet(5);
  m.coefficients.sunJ2Factor = 0.0;  // relativity alone
  s.step = s.nominalStep = 0.5L;
  s.orderCode = 6;
  beginIntegration(t, s, 1);
  SlopeFit fit;
  const long steps = std::lround(years * 365.25L / s.step);
  Vec3 e1{}, e2{};
  for (long k = 0; k <= steps; ++k) {
    if (k > 0) advanceNominalStep(t, s, m, integrator);
    if (k % 8 != 0) continue;
    const auto rv = relative(t, s, 1, 0);
    const Vec3 h = cross(rv.r, rv.v);
    const Vec3 lrl = cross(rv.v, h);
    const Vec3 ru = unit(rv.r);
    const Vec3 A = {lrl[0] - mu0 * ru[0], lrl[1] - mu0 * ru[1], lrl[2] - mu0 * ru[2]};
    if (k == 0) {
      // Angles in the plane of the orbit (the pure 1/r^3 term keeps it fixed).
      e1 = unit(A);
      e2 = cross(unit(h), e1);
    }
    fit.add(s.epoch, std::atan2(dot(A, e2), dot(A, e1)));
  }
  return fit.slope() * 36525.0L * kArcsecPerRadian;
}

TEST(Relativity, MercuryPerihelionAdvancesFortyThreeArcsecondsPerCentury) {
  const long double years = 100.0L * kSpanScale;
  const long double withRelativity = mercuryPerihelionRate(true, years);
  const long double newtonian = mercuryPerihelionRate(false, years);
  const long double advance = withRelativity - newtonian;
  RecordProperty("perihelion_advance_arcsec_per_century",
                 testing::scientific(advance));
  EXPECT_NEAR(static_cast<double>(advance), 42.98, 0.05);
}

// Node of an orbit on the equator of a pole vector, by the slope of the
// node longitude.
long double nodeOn(const Vec3& pole, const Vec3& e1, const Vec3& e2,
                   const testing::StateVector& rv) {
  const Vec3 h = cross(rv.r, rv.v);
  const Vec3 node = cross(pole, h);
  return std::atan2(dot(node, e2), dot(node, e1));
}

// Orbit of inclination iDeg on the equator of `pole`.
testing::StateVector orbitOnEquatorOf(const Vec3& pole, long double mu, long double a,
                                      long double e, long double iDeg, Vec3& e1, Vec3& e2) {
  e1 = unit(cross({0.0L, 0.0L, 1.0L}, pole));
  if (testing::length(cross({0.0L, 0.0L, 1.0L}, pole)) < 1e-12L) e1 = {1.0L, 0.0L, 0.0L};
  e2 = cross(pole, e1);
  const auto local = testing::keplerState(mu, a, e, iDeg, 40.0L, 70.0L, 10.0L);
  testing::StateVector out;
  for (int k = 0; k < 3; ++k) {
    out.r[k] = local.r[0] * e1[k] + local.r[1] * e2[k] + local.r[2] * pole[k];
    out.v[k] = local.v[0] * e1[k] + local.v[1] * e2[k] + local.v[2] * pole[k];
  }
  return out;
}

TEST(SolarOblateness, NodeOnTheSolarEquatorRegressesAtTheFirstOrderRate) {
  BodyTable t;
  IntegrationState s;
  ForceModel m;
  Integrator integrator;
  const Vec3 pole = unit({m.frame.sunPole[0], m.frame.sunPole[1], m.frame.sunPole[2]});
  const long double mu = gravitationalConstant * testing::sunMassGauss();
  const long double a = 10.0L, e = 0.05L, iDeg = 30.0L;
  Vec3 e1, e2;
  testing::buildTwoBody(t, s, 0.0L, orbitOnEquatorOf(pole, mu, a, e, iDeg, e1, e2));
  m.coefficients = forceCoefficientsForDataSet(2);
  const long double period = 2 * kPi * std::sqrt(a * a * a / mu);
  s.step = s.nominalStep = period / 64.0L;
  s.orderCode = 6;
  beginIntegration(t, s, 1);
  SlopeFit fit;
  const long steps = std::lround(2.0L * kSpanScale * 365.25L / s.step);
  for (long k = 0; k <= steps; ++k) {
    if (k > 0) advanceNominalStep(t, s, m, integrator);
    fit.add(s.epoch, nodeOn(pole, e1, e2, relative(t, s, 1, 0)));
  }
  const long double n = std::sqrt(mu / (a * a * a));
  const long double p = a * (1 - e * e);
  const long double K = m.coefficients.sunJ2Factor;  // 1.5 J2 R^2
  const long double expected = -n * K / (p * p) * std::cos(iDeg * kPi / 180.0L);
  RecordProperty("node_rate_ratio", testing::scientific(fit.slope() / expected));
  EXPECT_NEAR(static_cast<double>(fit.slope() / expected), 1.0, 0.02);
}

// The Earth (with a massless Sun far away) and one satellite stored
// geocentric on an orbit of a = 7000 km, e = 0.001, i = 50° about the
// Earth's pole, steps of period/perOrbit at order 6, ready to integrate.
struct SatelliteRun {
  BodyTable t;
  IntegrationState s;
  ForceModel m;
  Integrator integrator;
  long double mu = 0.0L, a = 0.0070L;
  Vec3 e1, e2;  // the orbit's reference axes (orbitOnEquatorOf)
};

void startSatellite(SatelliteRun& r, double dragCoefficient, bool j2Alone, int perOrbit) {
  BodyTable& t = r.t;
  createBodyTable(100, t);
  t.layout.earthIndex = 1;
  t.layout.moonIndex = t.maxBodies;
  t.layout.noMoon = true;
  t.layout.lastMajor = t.layout.lastMassive = 1;
  t.layout.bodyCount = 2;
  t.mass[1] = 5.97219L;
  t.posX[1] = 150.0L;
  t.A1[2] = dragCoefficient;
  r.s.satelliteMode = true;
  r.s.dataSet = 10;
  r.m.coefficients = forceCoefficientsForDataSet(10);
  if (j2Alone) r.m.coefficients.satelliteJ3 = r.m.coefficients.satelliteJ4 = 0.0;
  r.mu = gravitationalConstant * t.mass[1];
  const auto rv = orbitOnEquatorOf({0.0L, 0.0L, 1.0L}, r.mu, r.a, 0.001L, 50.0L, r.e1, r.e2);
  t.posX[2] = rv.r[0];
  t.posY[2] = rv.r[1];
  t.posZ[2] = rv.r[2];
  t.velX[2] = rv.v[0];
  t.velY[2] = rv.v[1];
  t.velZ[2] = rv.v[2];
  r.s.derived = deriveConstants(t);
  const long double period = 2 * kPi * std::sqrt(r.a * r.a * r.a / r.mu);
  r.s.step = r.s.nominalStep = period / perOrbit;
  r.s.orderCode = 6;
  beginIntegration(t, r.s, 1);
}

TEST(SatelliteMode, LowOrbitNodeRegressesAtTheJ2Rate) {
  SatelliteRun r;
  startSatellite(r, 0.0, true, 128);  // J2 alone
  BodyTable& t = r.t;
  IntegrationState& s = r.s;
  ForceModel& m = r.m;
  Integrator& integrator = r.integrator;
  const long double mu = r.mu, a = r.a, e = 0.001L, iDeg = 50.0L;
  const Vec3 e1 = r.e1, e2 = r.e2;
  SlopeFit fit;
  const long steps = std::lround(3.0L * kSpanScale / s.step);
  for (long k = 0; k <= steps; ++k) {
    if (k > 0) {
      ASSERT_EQ(advanceNominalStep(t, s, m, integrator).status, IntegrateStatus::ok);
    }
    const testing::StateVector geo{{t.posX[2], t.posY[2], t.posZ[2]},
                                   {t.velX[2] / s.step, t.velY[2] / s.step, t.velZ[2] / s.step}};
    fit.add(s.epoch, nodeOn({0.0L, 0.0L, 1.0L}, e1, e2, geo));
  }
  const long double n = std::sqrt(mu / (a * a * a));
  const long double p = a * (1 - e * e);
  const long double R = earthEquatorialRadius;
  const long double J2 = m.coefficients.satelliteJ2 / (-7.5L * R * R);
  const long double expected = -1.5L * n * J2 * (R / p) * (R / p) * std::cos(iDeg * kPi / 180.0L);
  RecordProperty("node_rate_ratio", testing::scientific(fit.slope() / expected));
  EXPECT_NEAR(static_cast<double>(fit.slope() / expected), 1.0, 0.005);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// Geocentric ecliptic longitude of the Moon (radians), equatorial table.
long double moonLongitude(const BodyTable& t) {
  const long double eps = 84381.406L / 3600.0L * kPi / 180.0L;
  const long double x = t.posX[10], y = t.posY[10], z = t.posZ[10];
  const long double ye = std::cos(eps) * y + std::sin(eps) * z;
  return std::atan2(ye, x);
}

long double moonLongitudeAfter(long double years, bool tides) {
  BodyTable t;
  IntegrationState s;
  ForceModel m;
  Integrator integrator;
  testing::buildSolarSystem(t, s, false, 0);
  testing::toEquatorial(t);
  m.coefficients = forceCoefficientsForDataSet(3);
  if (!tides) m.coefficients.tidalTangential = 0.0;
  s.step = s.nominalStep = 3.0L;
  s.orderCode = 6;
  beginIntegration(t, s, 1);
  const long steps = std::lround(years * 365.25L / 3.0L);
  EXPECT_TRUE(testing::integrate(t, s, m, integrator, steps));
  return moonLongitude(t);
}

TEST(LunarTides, TangentialTideDeceleratesTheMoonAsObserved) {
  // Oracle: the tidal acceleration of the Moon's mean longitude fitted in the
  // JPL ephemerides, about -25.8" per century squared, so the longitude lags
  // by 0.5 * 25.8 * T^2 arcseconds after T centuries. Measured -22.9 with the
  // data-set-3 coefficient at J2000 and a mean lunar orbit; the bound (15 %)
  // checks sign and size of the tidal term, not the fit of its coefficient.
  const long double centuries = kSpanScale < 1.0L ? 0.3L : 1.0L;
  const long double lag =
      (moonLongitudeAfter(100.0L * centuries, true) - moonLongitudeAfter(100.0L * centuries, false)) *
      kArcsecPerRadian;
  const long double rate = 2.0L * lag / (centuries * centuries);
  RecordProperty("tidal_acceleration_arcsec_per_century2", testing::scientific(rate));
  EXPECT_NEAR(static_cast<double>(rate), -25.8, 4.0);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A satellite at 7000 km with drag for one day at `perOrbit` steps an orbit;
// returns its geocentric position.
Vec3 draggedSatellite(int perOrbit, double dragCoefficient) {
  SatelliteRun r;
  startSatellite(r, dragCoefficient, false, perOrbit);
  const long orbits = 8;
  EXPECT_TRUE(testing::integrate(r.t, r.s, r.m, r.integrator, orbits * perOrbit));
  return {r.t.posX[2], r.t.posY[2], r.t.posZ[2]};
}

TEST(SatelliteMode, DragFollowsTheVelocityOfEachSubstep) {
  // Oracle: convergence. The drag is evaluated with the velocity of the
  // substep, so halving the step changes the result by far less than the
  // drag's own effect over the run.
  const double A1 = 1e-3;
  const Vec3 coarse = draggedSatellite(64, A1);
  const Vec3 fine = draggedSatellite(128, A1);
  const Vec3 free = draggedSatellite(128, 0.0);
  const long double effect = testing::distance(fine, free);
  const long double change = testing::distance(coarse, fine);
  RecordProperty("drag_effect_gm", testing::scientific(effect));
  RecordProperty("step_halving_change_gm", testing::scientific(change));
  EXPECT_GT(effect, 1e-7L);
  EXPECT_LT(change, 1e-4L * effect);
}

}  // namespace
}  // namespace tarvo
