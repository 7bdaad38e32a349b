// Force model. Oracles: direct summation of Newton's law in extended
// precision, Newton's third law (total momentum change zero), the gradient
// of the zonal potential by finite differences, the published form of the
// Earth's J2 acceleration, Kepler's equation, and the data-set constants as
// tabulated.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "tarvo/dynamics/integrator.h"
#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

using testing::Vec3;

struct Scene {
  BodyTable table;
  IntegrationState state;
  ForceModel model;
  Accelerations acc;
};

// Step masses for H = 1 day and a call at the table's own state.
void evaluate(Scene& s, ForceCallMode mode = ForceCallMode::stepStart) {
  for (int i = 0; i <= s.table.layout.bodyCount; ++i) {
    s.table.stepMass[i] = gravitationalConstant * s.table.mass[i];
  }
  s.state.derived = deriveConstants(s.table);
  s.state.step = 1.0L;
  const ForceInput in{s.table.posX.data(), s.table.posY.data(), s.table.posZ.data(),
                      s.table.velX.data(), s.table.velY.data(), s.table.velZ.data(), 1.0L};
  ForceCall call;
  call.H = 1.0L;
  call.mode = mode;
  computeAccelerations(s.table, s.state, s.model, in, call, s.acc);
}

Vec3 absolutePosition(const BodyTable& t, int i) {
  Vec3 r = {t.posX[i], t.posY[i], t.posZ[i]};
  if (i == t.layout.moonIndex && !t.layout.noMoon) {
    const int e = t.layout.earthIndex;
    r = {r[0] + t.posX[e], r[1] + t.posY[e], r[2] + t.posZ[e]};
  }
  return r;
}

Vec3 absoluteAcceleration(const Scene& s, int i) {
  Vec3 a = {s.acc.x[i], s.acc.y[i], s.acc.z[i]};
  const BodyTable& t = s.table;
  if (i == t.layout.moonIndex && !t.layout.noMoon) {
    const int e = t.layout.earthIndex;
    a = {a[0] + s.acc.x[e], a[1] + s.acc.y[e], a[2] + s.acc.z[e]};
  }
  return a;
}

TEST(PointMasses, OptionEOffIsNewtonsLawSummedDirectly) {
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 20);
  for (int i = 1; i <= s.table.layout.bodyCount; ++i) s.table.relFactor[i] = 1e-6;
  s.state.options.extendedModel = false;
  s.state.options.relativityMinor = true;
  evaluate(s);
  const BodyTable& t = s.table;
  const int N = t.layout.bodyCount;
  for (int i = 0; i <= N; ++i) {
    const Vec3 ri = absolutePosition(t, i);
    Vec3 expected = {0.0L, 0.0L, 0.0L};
    for (int j = 0; j <= t.layout.lastMassive; ++j) {
      if (j == i) continue;
      const Vec3 rj = absolutePosition(t, j);
      const Vec3 d = {rj[0] - ri[0], rj[1] - ri[1], rj[2] - ri[2]};
      const long double r = testing::length(d);
      const long double f = gravitationalConstant * t.mass[j] / (r * r * r);
      for (int k = 0; k < 3; ++k) expected[k] += f * d[k];
    }
    const Vec3 got = absoluteAcceleration(s, i);
    const long double scale = testing::length(expected);
    EXPECT_LT(testing::distance(got, expected) / scale, 2e-15L) << "body " << i;
  }
}

// Direct sum of the Newtonian pull on body i from the bodies `from`.
Vec3 directPull(const BodyTable& t, int i, const std::vector<int>& from) {
  const Vec3 ri = absolutePosition(t, i);
  Vec3 a = {0.0L, 0.0L, 0.0L};
  for (const int j : from) {
    if (j == i) continue;
    const Vec3 rj = absolutePosition(t, j);
    const Vec3 d = {rj[0] - ri[0], rj[1] - ri[1], rj[2] - ri[2]};
    const long double r = testing::length(d);
    const long double f = gravitationalConstant * t.mass[j] / (r * r * r);
    for (int k = 0; k < 3; ++k) a[k] += f * d[k];
  }
  return a;
}

std::vector<int> range(int first, int last) {
  std::vector<int> v;
  for (int i = first; i <= last; ++i) v.push_back(i);
  return v;
}

TEST(PointMasses, PerturbingAsteroidsPullMinorBodiesButNotEachOther) {
  // Data-set-6 layout: majors 1..13, perturbing asteroids 14..26, minor
  // bodies above; on the double and on the extended path.
  for (const bool extended : {false, true}) {
    Scene s;
    testing::buildSolarSystem(s.table, s.state, true, 300);
    s.table.layout.lastMassive = 26;
    for (int i = 14; i <= 26; ++i) s.table.mass[i] = 1e-4L * (i - 13);
    s.state.options.extendedModel = false;
    s.state.options.extendedAccumulation = extended;
    evaluate(s);
    const BodyTable& t = s.table;
    std::vector<int> all = range(0, 26);
    std::vector<int> majors = range(0, 13);
    for (int i = 14; i <= t.layout.bodyCount; ++i) {
      const Vec3 expected = directPull(t, i, i <= 26 ? majors : all);
      const Vec3 got = absoluteAcceleration(s, i);
      EXPECT_LT(testing::distance(got, expected) / testing::length(expected), 2e-15L)
          << i << " extended " << extended;
    }
    // The perturbing asteroids pull the majors and the Sun.
    for (int i = 0; i <= 13; ++i) {
      const Vec3 expected = directPull(t, i, all);
      const Vec3 got = absoluteAcceleration(s, i);
      EXPECT_LT(testing::distance(got, expected) / testing::length(expected), 2e-15L)
          << i << " extended " << extended;
    }
  }
}

TEST(PointMasses, OptionCMakesMinorBodiesAttractEverything) {
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 600);
  const int N = s.table.layout.bodyCount;
  for (int i = 14; i <= N; i += 3) s.table.mass[i] = 1e-3L;
  s.state.options.extendedModel = false;
  s.state.options.minorPerturb = true;
  for (const bool extended : {false, true}) {
    s.state.options.extendedAccumulation = extended;
    evaluate(s);
    const std::vector<int> all = range(0, N);
    for (int i = 0; i <= N; i += 37) {
      const Vec3 expected = directPull(s.table, i, all);
      const Vec3 got = absoluteAcceleration(s, i);
      EXPECT_LT(testing::distance(got, expected) / testing::length(expected), 2e-15L)
          << i << " extended " << extended;
    }
  }
}

TEST(PointMasses, HiddenPlanetsDoNotPerturbMinorBodies) {
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 5);
  s.state.options.extendedModel = false;
  s.table.hiddenPlanet[5] = suiteTrue;  // Jupiter
  evaluate(s);
  std::vector<int> visible = range(0, 13);
  visible.erase(visible.begin() + 5);
  for (int i = 14; i <= s.table.layout.bodyCount; ++i) {
    const Vec3 expected = directPull(s.table, i, visible);
    EXPECT_LT(testing::distance(absoluteAcceleration(s, i), expected) / testing::length(expected),
              2e-15L);
  }
  // Majors still feel Jupiter.
  const Vec3 saturn = directPull(s.table, 6, range(0, 13));
  EXPECT_LT(testing::distance(absoluteAcceleration(s, 6), saturn) / testing::length(saturn),
            2e-15L);
}

TEST(SunPull, MinorBodiesWithoutOptionDFeelNoRelativisticOrRadialTerm) {
  // In the Sun's equatorial plane the pull is mu/r^2 (1 + relFactor +
  // K_rel/r + K_sunJ2/r^2); without option D minor bodies lose the first two.
  Scene s;
  testing::buildTwoBody(s.table, s.state, 0.0L, testing::StateVector{});
  const auto& pole = s.model.frame.sunPole;
  const Vec3 inPlane = {-pole[1], pole[0], 0.0L};  // perpendicular to the pole
  const long double scale = 100.0L / testing::length(inPlane);
  s.table.posX[1] = inPlane[0] * scale;
  s.table.posY[1] = inPlane[1] * scale;
  s.table.posZ[1] = 0.0L;
  s.table.relFactor[1] = 3e-8;
  s.model.coefficients = forceCoefficientsForDataSet(2);
  const long double mu = gravitationalConstant * s.table.mass[0];
  const long double Krel = 6.0L * mu / (speedOfLight * speedOfLight);
  const long double KJ2 = s.model.coefficients.sunJ2Factor;
  for (const bool minor : {false, true}) {
    s.table.layout.lastMajor = minor ? 0 : 1;
    s.state.options.relativityMinor = false;
    evaluate(s);
    const long double a = testing::length({s.acc.x[1], s.acc.y[1], s.acc.z[1]});
    const long double factor = a * 100.0L * 100.0L / mu - 1.0L;
    const long double expected =
        (minor ? 0.0L : 3e-8L + Krel / 100.0L) + KJ2 / (100.0L * 100.0L);
    EXPECT_NEAR(static_cast<double>(factor), static_cast<double>(expected), 1e-15) << minor;
  }
}

TEST(PointMasses, ExtendedModelConservesMomentum) {
  // Every term acts in equal and opposite pairs, so sum m a vanishes
  // (the minor bodies have no mass).
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 10);
  for (int i = 1; i <= 13; ++i) s.table.relFactor[i] = 1e-7 * i;
  s.model.coefficients = forceCoefficientsForDataSet(2);
  updateTimeDependentCoefficients(s.model.coefficients, 20000.0L, 0.0);
  for (bool extended : {false, true}) {
    s.state.options.extendedAccumulation = extended;
    evaluate(s);
    Vec3 total = {0.0L, 0.0L, 0.0L};
    long double magnitude = 0.0L;
    for (int i = 0; i <= s.table.layout.lastMassive; ++i) {
      const Vec3 a = absoluteAcceleration(s, i);
      for (int k = 0; k < 3; ++k) total[k] += s.table.mass[i] * a[k];
      magnitude += s.table.mass[i] * testing::length(a);
    }
    EXPECT_LT(testing::length(total) / magnitude, 1e-17L) << "extended path " << extended;
  }
}

TEST(Paths, DoubleAndExtendedAccumulationAgree) {
  // With and without option C (massive and massless minor bodies), each path
  // on a model of its own, so that neither reads work arrays the other left.
  for (const bool minorPerturb : {true, false}) {
    Scene d, x;
    for (Scene* s : {&d, &x}) {
      testing::buildSolarSystem(s->table, s->state, true, 600);
      s->state.options.minorPerturb = minorPerturb;
      if (minorPerturb) {
        for (int i = 14; i <= s->table.layout.bodyCount; ++i) s->table.mass[i] = 1e-6;
      }
    }
    x.state.options.extendedAccumulation = true;
    evaluate(d);
    evaluate(x);
    for (int i = 0; i <= d.table.layout.bodyCount; ++i) {
      const Vec3 a = {x.acc.x[i], x.acc.y[i], x.acc.z[i]};
      const Vec3 b = {d.acc.x[i], d.acc.y[i], d.acc.z[i]};
      EXPECT_LT(testing::distance(a, b) / testing::length(a), 1e-15L)
          << "body " << i << " option C " << minorPerturb;
    }
  }
}

bool sameBits(long double a, long double b) {
  return std::memcmp(&a, &b, 10) == 0;  // the 80 bits of the x87 format
}

TEST(Paths, SplitBodiesGiveTheValuesOfTheExtendedArraysBitForBit) {
  // Oracle: the same call with every position and result in the extended
  // arrays. The split call gets NaN in the extended positions of the split
  // bodies and must leave their extended results alone; a few bodies lie
  // within 4 Gm of the Earth (its figure) and the chunks are several.
  for (const bool extendedModel : {true, false}) {
    Scene plain, split;
    for (Scene* s : {&plain, &split}) {
      testing::buildSolarSystem(s->table, s->state, true, 1000);
      s->state.options.extendedModel = extendedModel;
      BodyTable& t = s->table;
      const int E = t.layout.earthIndex;
      for (int j = 20; j <= t.layout.bodyCount; j += 211) {
        t.posX[j] = t.posX[E] + 1.5L;
        t.posY[j] = t.posY[E] - 0.25L * (j % 5);
        t.posZ[j] = t.posZ[E] + 2.0L;
      }
      refreshEarthFigureFlags(t, s->state);
      for (int i = 0; i <= t.layout.bodyCount; ++i) {
        t.stepMass[i] = gravitationalConstant * t.mass[i] * 0.25L;  // H = 0.5 day
      }
      s->state.derived = deriveConstants(t);
    }
    ForceCall call;
    call.H = 0.5L;
    call.mode = ForceCallMode::substep;
    call.substep = 1;
    call.substeps = 2;
    BodyTable& p = plain.table;
    const ForceInput plainIn{p.posX.data(), p.posY.data(), p.posZ.data(), p.velX.data(),
                             p.velY.data(), p.velZ.data(), 0.5L};
    computeAccelerations(p, plain.state, plain.model, plainIn, call, plain.acc);

    BodyTable& t = split.table;
    const int N = t.layout.bodyCount;
    const int first = splitBodiesFrom(t, split.state, false);
    ASSERT_EQ(first, t.layout.lastMassive + 1);
    std::vector<SplitExtended> x(N + 1), y(N + 1), z(N + 1), ax(N + 1), ay(N + 1), az(N + 1);
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (int j = first; j <= N; ++j) {
      x[j].set(t.posX[j]);
      y[j].set(t.posY[j]);
      z[j].set(t.posZ[j]);
      t.posX[j] = t.posY[j] = t.posZ[j] = nan;
    }
    split.acc.resize(t.slots());
    for (int j = first; j <= N; ++j) split.acc.x[j] = split.acc.y[j] = split.acc.z[j] = 7.0L;
    ForceSplitBodies bodies;
    bodies.first = first;
    bodies.x = x.data();
    bodies.y = y.data();
    bodies.z = z.data();
    bodies.ax = ax.data();
    bodies.ay = ay.data();
    bodies.az = az.data();
    const ForceInput in{t.posX.data(), t.posY.data(), t.posZ.data(), t.velX.data(),
                        t.velY.data(), t.velZ.data(), 0.5L};
    computeAccelerations(t, split.state, split.model, in, call, split.acc, bodies);

    int figured = 0;
    for (int i = 0; i <= N; ++i) {
      const bool isSplit = i >= first;
      if (isSplit && t.earthFigureFlag[i] != suiteFalse) ++figured;
      const long double a[3] = {isSplit ? ax[i].value() : split.acc.x[i],
                                isSplit ? ay[i].value() : split.acc.y[i],
                                isSplit ? az[i].value() : split.acc.z[i]};
      EXPECT_TRUE(sameBits(a[0], plain.acc.x[i]) && sameBits(a[1], plain.acc.y[i]) &&
                  sameBits(a[2], plain.acc.z[i]))
          << "body " << i << " extended model " << extendedModel;
      if (isSplit) {
        EXPECT_EQ(split.acc.x[i] + split.acc.y[i] + split.acc.z[i], 21.0L) << "body " << i;
      }
    }
    EXPECT_EQ(figured, 5);
  }
}

TEST(Paths, NoBodiesAreSplitWhereForcesNeedTheExtendedArrays) {
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 10);
  const int none = s.table.layout.bodyCount + 1;
  EXPECT_EQ(splitBodiesFrom(s.table, s.state, false), s.table.layout.lastMassive + 1);
  EXPECT_EQ(splitBodiesFrom(s.table, s.state, true), none);
  s.state.options.extendedAccumulation = true;
  EXPECT_EQ(splitBodiesFrom(s.table, s.state, false), none);
  s.state.options.extendedAccumulation = false;
  s.state.options.minorPerturb = true;
  EXPECT_EQ(splitBodiesFrom(s.table, s.state, false), none);
  s.state.options.minorPerturb = false;
  s.state.satelliteMode = true;
  EXPECT_EQ(splitBodiesFrom(s.table, s.state, false), none);
}

TEST(EarthFigure, MinorBodyFeelsJ2OnlyWithinFourGm) {
  // Oracle: J2 acceleration of the published form,
  // a = -mu x / r^3 [1 + 1.5 J2 (R/r)^2 (1 - 5 z^2/r^2)], z likewise with 3 - 5 z^2/r^2.
  for (const double range : {3.99, 4.01}) {
    Scene s;
    testing::buildSolarSystem(s.table, s.state, true, 1);
    const int j = 14, E = 3;
    const Vec3 offset = {range * 0.6, range * 0.0, range * 0.8};
    s.table.posX[j] = s.table.posX[E] + offset[0];
    s.table.posY[j] = s.table.posY[E] + offset[1];
    s.table.posZ[j] = s.table.posZ[E] + offset[2];
    refreshEarthFigureFlags(s.table, s.state);
    EXPECT_EQ(s.table.earthFigureFlag[j] != 0, range < 4.0);
    evaluate(s);
    const Accelerations with = s.acc;
    s.table.earthFigureFlag[j] = suiteFalse;
    evaluate(s);
    const long double muE = gravitationalConstant * s.table.mass[E];
    const long double r = testing::length(offset);
    const long double J2R2 = -s.model.coefficients.satelliteJ2 / 7.5L;
    const long double s2 = offset[2] * offset[2] / (r * r);
    const Vec3 j2 = {-muE * offset[0] / (r * r * r) * 1.5L * J2R2 / (r * r) * (1 - 5 * s2),
                     -muE * offset[1] / (r * r * r) * 1.5L * J2R2 / (r * r) * (1 - 5 * s2),
                     -muE * offset[2] / (r * r * r) * 1.5L * J2R2 / (r * r) * (3 - 5 * s2)};
    const Vec3 diff = {with.x[j] - s.acc.x[j], with.y[j] - s.acc.y[j], with.z[j] - s.acc.z[j]};
    if (range < 4.0) {
      EXPECT_LT(testing::distance(diff, j2) / testing::length(j2), 1e-6L);
    } else {
      EXPECT_EQ(testing::length(diff), 0.0L);
    }
  }
}

TEST(EarthMoonBarycentre, QuadrupoleActsOnlyWithoutTheMoon) {
  for (const int dataSet : {4, 5, 9, 3}) {
    Scene s;
    testing::buildSolarSystem(s.table, s.state, false, 0);
    const BodyLayout layout = dataSetLayout(dataSet, s.table.maxBodies).layout;
    s.table.layout.moonIndex = layout.moonIndex;
    s.table.layout.noMoon = layout.noMoon;
    if (layout.noMoon) s.table.layout.bodyCount = s.table.layout.lastMajor =
                           s.table.layout.lastMassive = 9;
    s.model.coefficients = forceCoefficientsForDataSet(dataSet);
    evaluate(s);
    const Vec3 model = {s.acc.x[3], s.acc.y[3], s.acc.z[3]};
    const long double kemb = s.model.coefficients.baryQuadrupole;
    s.model.coefficients.baryQuadrupole = 0.0;
    evaluate(s);
    const Vec3 plain = {s.acc.x[3], s.acc.y[3], s.acc.z[3]};
    const Vec3 r = {s.table.posX[3] - s.table.posX[0], s.table.posY[3] - s.table.posY[0],
                    s.table.posZ[3] - s.table.posZ[0]};
    const long double d = testing::length(r);
    const long double mu = gravitationalConstant * s.table.mass[0];
    if (layout.noMoon) {
      // a += -mu K_emb r / |r|^5 on the Earth body.
      for (int k = 0; k < 3; ++k) {
        const long double expected = -mu * kemb * r[k] / (d * d * d * d * d);
        EXPECT_NEAR(static_cast<double>(model[k] - plain[k]), static_cast<double>(expected),
                    1e-9 * std::fabs(static_cast<double>(expected)) + 1e-30)
            << "data set " << dataSet;
      }
    } else {
      EXPECT_EQ(testing::distance(model, plain), 0.0L) << "data set " << dataSet;
    }
  }
}

// Gradient of U = mu/r (1 - sum_n J_n (R/r)^n P_n(sin phi)), n = 2..4, by
// central differences in extended precision.
long double zonalPotential(const Vec3& p, long double mu, long double R, long double J2,
                           long double J3, long double J4) {
  const long double r = testing::length(p);
  const long double u = p[2] / r;
  const long double P2 = (3 * u * u - 1) / 2;
  const long double P3 = (5 * u * u * u - 3 * u) / 2;
  const long double P4 = (35 * u * u * u * u - 30 * u * u + 3) / 8;
  const long double q = R / r;
  return mu / r * (1 - J2 * q * q * P2 - J3 * q * q * q * P3 - J4 * q * q * q * q * P4);
}

TEST(SatelliteField, IsTheGradientOfTheZonalPotential) {
  const long double mu = 0.0029744L;
  const long double R = earthEquatorialRadius;
  const ForceCoefficients k = forceCoefficientsForDataSet(10);
  const long double J2 = k.satelliteJ2 / (-7.5L * R * R);
  const long double J3 = k.satelliteJ3 / (2.5L * R * R * R);
  const long double J4 = k.satelliteJ4 / (-0.625L * R * R * R * R);
  EXPECT_NEAR(static_cast<double>(J2), 1.0826e-3, 0.0001e-3);
  EXPECT_NEAR(static_cast<double>(J3), -2.53e-6, 0.01e-6);
  EXPECT_NEAR(static_cast<double>(J4), -1.62e-6, 0.01e-6);
  const Vec3 points[] = {{0.0070L, 0.0010L, 0.0020L}, {0.0040L, -0.0030L, 0.0055L},
                         {-0.0020L, 0.0010L, -0.0068L}, {0.0100L, 0.0200L, 0.0150L},
                         {0.0066L, 0.0L, 0.0001L}};
  for (const Vec3& p : points) {
    const auto a = satelliteFieldAcceleration(p, {0, 0, 0}, mu, k.satelliteJ2, k.satelliteJ3,
                                              k.satelliteJ4, 0.0);
    // Only the harmonics: subtract the point mass from both sides.
    const long double r = testing::length(p);
    Vec3 field, expected;
    for (int c = 0; c < 3; ++c) {
      const long double step = 1e-7L * r;
      Vec3 plus = p, minus = p;
      plus[c] += step;
      minus[c] -= step;
      const long double grad = (zonalPotential(plus, mu, R, J2, J3, J4) -
                                zonalPotential(minus, mu, R, J2, J3, J4)) /
                               (2 * step);
      expected[c] = grad + mu * p[c] / (r * r * r);
      field[c] = a[c] + mu * p[c] / (r * r * r);
    }
    EXPECT_LT(testing::distance(field, expected) / testing::length(expected), 1e-6L)
        << p[0] << " " << p[1] << " " << p[2];
  }
}

TEST(SatelliteField, DragOpposesTheVelocityAndVanishesWithoutA1) {
  const Vec3 r = {0.0066L, 0.0L, 0.0L};
  const Vec3 v = {0.0L, 600.0L, 100.0L};
  const auto noDrag = satelliteFieldAcceleration(r, v, 0.003L, 0, 0, 0, 0.0);
  const auto drag = satelliteFieldAcceleration(r, v, 0.003L, 0, 0, 0, 1e-3);
  EXPECT_LT(drag[1] - noDrag[1], 0.0L);
  EXPECT_LT(drag[2] - noDrag[2], 0.0L);
  EXPECT_EQ(drag[0], noDrag[0]);
}

TEST(TidalCoefficient, UserFactorFixesItAtEveryEpoch) {
  ForceCoefficients k = forceCoefficientsForDataSet(2);
  for (const long double t : {-2e6L, -1e5L, 0.0L, 3e5L, 1e7L}) {
    updateTimeDependentCoefficients(k, t, 0.25);
    EXPECT_EQ(k.tidalTangential, 1.25 * k.earthMoon.CT0);
  }
}

TEST(TidalCoefficient, BeyondFifteenMillenniaOnlyTheBaseRemains) {
  for (const int dataSet : {1, 2, 3, 6}) {
    ForceCoefficients k = forceCoefficientsForDataSet(dataSet);
    for (const long double T : {-15.0L, -20.0L, 15.0L, 40.0L}) {
      updateTimeDependentCoefficients(k, T * 365250.0L, 0.0);
      EXPECT_EQ(k.tidalTangential, k.earthMoon.CT0) << dataSet << " T " << T;
    }
    updateTimeDependentCoefficients(k, 1.0L * 365250.0L, 0.0);
    EXPECT_NE(k.tidalTangential, k.earthMoon.CT0);
  }
  EXPECT_EQ(tidalTaperWeight(1, -14.5), 0.5);
  EXPECT_EQ(tidalTaperWeight(1, 13.5), 0.5);
  EXPECT_EQ(tidalTaperWeight(7, -4.75), 0.75);
  EXPECT_EQ(tidalTaperWeight(7, 0.75), 0.75);
  EXPECT_EQ(tidalTaperWeight(8, 1.0), 0.0);
}

TEST(TidalCoefficient, TableValuesOfTheDataSets) {
  EXPECT_EQ(earthMoonConstants(2).C0, -5.336e-08);  // empty entry: data set 1
  EXPECT_EQ(earthMoonConstants(6).CS, 2.64503076e-05);
  EXPECT_EQ(earthMoonConstants(8).U[2], -5.33677e-17);
  const ForceCoefficients k = forceCoefficientsForDataSet(7);
  EXPECT_EQ(k.astronomicalUnit, astronomicalUnitOld);
  EXPECT_EQ(k.sunJ2Factor, 1.453e-07);
  EXPECT_EQ(k.tidalRadial, k.earthMoon.CT0 / 0.040700012);
  // At J2000 the central polynomials reduce to their base values.
  EXPECT_EQ(k.earthJ2, k.earthMoon.CE0);
  EXPECT_EQ(k.moonFigure, k.earthMoon.CM0);
  EXPECT_EQ(k.tidalTangential, k.earthMoon.CT0);
}

// A comet at 1.5 AU for the non-gravitational tests.
Scene cometScene(NonGravLaw law) {
  Scene s;
  testing::buildSolarSystem(s.table, s.state, true, 1);
  const int j = 14;
  const long double mu = gravitationalConstant * s.table.mass[0];
  const auto st = testing::keplerState(mu, 2.5L * 149.6L, 0.6L, 10, 20, 30, 40);
  s.table.posX[j] = st.r[0];
  s.table.posY[j] = st.r[1];
  s.table.posZ[j] = st.r[2];
  s.table.velX[j] = st.v[0];
  s.table.velY[j] = st.v[1];
  s.table.velZ[j] = st.v[2];
  s.table.nonGravFlag[j] = suiteTrue;
  s.table.A1[j] = 1e-9;
  s.table.A2[j] = 2e-10;
  s.table.A3[j] = -5e-11;
  s.state.options.nonGravMode = law;
  return s;
}

Vec3 nonGravOf(Scene& s) {
  const int j = 14;
  evaluate(s);
  const Vec3 with = {s.acc.x[j], s.acc.y[j], s.acc.z[j]};
  const double a1 = s.table.A1[j], a2 = s.table.A2[j], a3 = s.table.A3[j];
  s.table.A1[j] = s.table.A2[j] = s.table.A3[j] = 0.0;
  evaluate(s);
  s.table.A1[j] = a1;
  s.table.A2[j] = a2;
  s.table.A3[j] = a3;
  return {with[0] - s.acc.x[j], with[1] - s.acc.y[j], with[2] - s.acc.z[j]};
}

TEST(NonGravitational, MarsdenLawAtOneAstronomicalUnitScale) {
  Scene s = cometScene(NonGravLaw::marsden);
  const Vec3 a = nonGravOf(s);
  // Oracle: g(r) = alpha^-1-free form rho^-m (1 + rho^n)^-k with rho = r / r0.
  const Vec3 r = {s.table.posX[14] - s.table.posX[0], s.table.posY[14] - s.table.posY[0],
                  s.table.posZ[14] - s.table.posZ[0]};
  const double rho = static_cast<double>(testing::length(r)) / (149.5978707 * 2.808);
  const double g = std::pow(rho, -2.15) * std::pow(1 + std::pow(rho, 5.093), -4.6142);
  const double radial = static_cast<double>((a[0] * r[0] + a[1] * r[1] + a[2] * r[2]) /
                                            testing::length(r));
  EXPECT_NEAR(radial, g * 1e-9, 1e-6 * g * 1e-9);
}

// The law's constants come from FITRA.CFG: r0, m, b, n and k as given.
TEST(NonGravitational, MarsdenLawTakesTheConfiguredConstants) {
  Scene s = cometScene(NonGravLaw::marsden);
  s.model.coefficients.gr0 = 1.7;
  s.model.coefficients.grM = 2.0;
  s.model.coefficients.grB = 0.5;
  s.model.coefficients.grN = 3.0;
  s.model.coefficients.grK = 1.5;
  const Vec3 a = nonGravOf(s);
  const Vec3 r = {s.table.posX[14] - s.table.posX[0], s.table.posY[14] - s.table.posY[0],
                  s.table.posZ[14] - s.table.posZ[0]};
  const double rho = static_cast<double>(testing::length(r)) / (149.5978707 * 1.7);
  const double g = std::pow(rho, -2.0) * std::pow(1 + 0.5 * std::pow(rho, 3.0), -1.5);
  const double radial = static_cast<double>((a[0] * r[0] + a[1] * r[1] + a[2] * r[2]) /
                                            testing::length(r));
  EXPECT_NEAR(radial, g * 1e-9, 1e-6 * g * 1e-9);
}

TEST(NonGravitational, YarkovskyDividesOnlyByAScaleBetweenZeroAndOne) {
  Scene s = cometScene(NonGravLaw::yarkovsky);
  s.table.nonGravFlag[14] = suiteFalse;  // the law applies to every minor body
  s.table.objectNumber[14] = 433.0;
  const Vec3 numbered = nonGravOf(s);
  s.table.objectNumber[14] = 0.0;
  const Vec3 unnumbered = nonGravOf(s);
  s.table.objectNumber[14] = 0.5;
  const Vec3 scaled = nonGravOf(s);
  s.table.objectNumber[14] = -14.0;
  const Vec3 negative = nonGravOf(s);
  EXPECT_EQ(numbered, unnumbered);
  EXPECT_EQ(negative, unnumbered);
  for (int k = 0; k < 3; ++k) {
    EXPECT_TRUE(std::isfinite(static_cast<double>(unnumbered[k])));
    EXPECT_NEAR(static_cast<double>(scaled[k]), 2.0 * static_cast<double>(unnumbered[k]),
                1e-9 * std::fabs(static_cast<double>(unnumbered[k])));
  }
  EXPECT_GT(testing::length(unnumbered), 0.0L);
}

TEST(NonGravitational, AsymmetricModelWithZeroTauIsThePlainModel) {
  Scene s = cometScene(NonGravLaw::marsden);
  const Vec3 plain = nonGravOf(s);
  s.state.options.asymmetricModel = true;
  s.table.tau[14] = 0.0;
  EXPECT_EQ(nonGravOf(s), plain);
}

TEST(NonGravitational, AsymmetricShiftOfOnePeriodChangesNothing) {
  // Oracle: the orbit is periodic, so the distance tau = P earlier is the
  // present distance; half a period from perihelion is the aphelion.
  const double mu = 990.0, a = 300.0, e = 0.5;
  const double n = std::sqrt(mu / (a * a * a)), P = 2 * std::numbers::pi / n;
  const auto st = testing::keplerState(mu, a, e, 5, 10, 20, 0);  // at perihelion
  const std::array<double, 3> r = {static_cast<double>(st.r[0]), static_cast<double>(st.r[1]),
                                   static_cast<double>(st.r[2])};
  const std::array<double, 3> v = {static_cast<double>(st.v[0]), static_cast<double>(st.v[1]),
                                   static_cast<double>(st.v[2])};
  std::array<double, 3> c{};
  ASSERT_TRUE(asymmetricDistanceQuadratic(r, v, mu, P, 1, 1.0, c));
  EXPECT_NEAR(c[0], a * (1 - e), 1e-9 * a);
  ASSERT_TRUE(asymmetricDistanceQuadratic(r, v, mu, P / 2, 1, 1.0, c));
  EXPECT_NEAR(c[0], a * (1 + e), 1e-9 * a);
  ASSERT_TRUE(asymmetricDistanceQuadratic(r, v, mu, P / 2, -1, 1.0, c));
  EXPECT_NEAR(c[0], a * (1 + e), 1e-9 * a);
}

TEST(NonGravitational, AsymmetricModelFallsBackForCircularAndUnboundOrbits) {
  const double mu = 990.0, a = 300.0;
  const double vc = std::sqrt(mu / a);
  std::array<double, 3> c{1, 1, 1};
  EXPECT_FALSE(asymmetricDistanceQuadratic({a, 0, 0}, {0, vc, 0}, mu, 10.0, 1, 1.0, c));
  EXPECT_FALSE(asymmetricDistanceQuadratic({a, 0, 0}, {0, 1.5 * vc, 0}, mu, 10.0, 1, 1.0, c));
  EXPECT_FALSE(asymmetricDistanceQuadratic({a, 0, 0}, {0, 3 * vc, 0}, mu, 10.0, 1, 1.0, c));
  EXPECT_TRUE(asymmetricDistanceQuadratic({a, 0, 0}, {0, 1.2 * vc, 0}, mu, 10.0, 1, 1.0, c));
  // Through the force model: an unbound comet gets finite forces.
  Scene s = cometScene(NonGravLaw::marsden);
  s.state.options.asymmetricModel = true;
  s.table.tau[14] = 30.0;
  s.table.velX[14] *= 3.0;
  s.table.velY[14] *= 3.0;
  const Vec3 unbound = nonGravOf(s);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(std::isfinite(static_cast<double>(unbound[k])));
}

TEST(Kepler, SolutionSatisfiesKeplersEquation) {
  for (const double e : {0.0, 0.1, 0.5, 0.9, 0.99}) {
    for (const double M : {0.0, 0.3, 1.0, 3.0, 3.14159, 5.0, 6.2}) {
      const KeplerSolution s = solveKepler(2.0, e, M);
      EXPECT_NEAR(s.E - e * std::sin(s.E), M, 1e-12) << e << " " << M;
      EXPECT_NEAR(s.r, 2.0 * (1 - e * std::cos(s.E)), 1e-15);
    }
  }
}

}  // namespace
}  // namespace tarvo
