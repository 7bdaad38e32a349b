// Accuracy of the extrapolation integrator.
// Oracles: the plain Stoermer formula (M = 0), the analytic two-body
// solution, conservation of energy, convergence against a six times smaller
// step, and time reversal (forward then backward returns to the start).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

using testing::StateVector;

#ifdef TARVO_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct SimRun {
  BodyTable table;
  IntegrationState state;
  ForceModel model;
  Integrator integrator;
};

void startRun(SimRun& run, long double step, int order, int direction = 1) {
  run.state.step = run.state.nominalStep = step;
  run.state.orderCode = order;
  beginIntegration(run.table, run.state, direction);
  run.model.coefficients = forceCoefficientsForDataSet(run.state.dataSet);
}

TEST(StormerStep, OrderZeroIsThePlainStormerStep) {
  SimRun run;
  testing::buildSolarSystem(run.table, run.state, true, 5);
  startRun(run, 3.0L, 0);
  BodyTable before = run.table;
  // Oracle: x + h v + h^2 a / 2 and h v + (h^2 a + h^2 a_new) / 2 with the
  // force model's accelerations at both ends.
  Accelerations a0, a1;
  ForceModel model;
  model.coefficients = run.model.coefficients;
  ForceInput in0{before.posX.data(), before.posY.data(), before.posZ.data(),
                 before.velX.data(), before.velY.data(), before.velZ.data(), 3.0L};
  ForceCall call;
  call.H = 3.0L;
  call.mode = ForceCallMode::stepStart;
  computeAccelerations(before, run.state, model, in0, call, a0);

  const StepError err = extrapolationStep(run.table, run.state, run.model, run.integrator);
  EXPECT_TRUE(err.finite);

  BodyTable expected = before;
  const int N = before.layout.bodyCount;
  for (int i = 0; i <= N; ++i) {
    expected.posX[i] = before.posX[i] + (before.velX[i] + a0.x[i] / 2.0L);
    expected.posY[i] = before.posY[i] + (before.velY[i] + a0.y[i] / 2.0L);
    expected.posZ[i] = before.posZ[i] + (before.velZ[i] + a0.z[i] / 2.0L);
  }
  ForceInput in1{expected.posX.data(), expected.posY.data(), expected.posZ.data(),
                 expected.velX.data(), expected.velY.data(), expected.velZ.data(), 3.0L};
  call.mode = ForceCallMode::substep;
  call.substep = 1;
  computeAccelerations(expected, run.state, model, in1, call, a1);
  for (int i = 0; i <= N; ++i) {
    EXPECT_EQ(run.table.posX[i], expected.posX[i]) << i;
    EXPECT_EQ(run.table.posY[i], expected.posY[i]) << i;
    EXPECT_EQ(run.table.posZ[i], expected.posZ[i]) << i;
    EXPECT_EQ(run.table.velX[i], before.velX[i] + (a0.x[i] + a1.x[i]) / 2.0L) << i;
    EXPECT_EQ(run.table.velY[i], before.velY[i] + (a0.y[i] + a1.y[i]) / 2.0L) << i;
    EXPECT_EQ(run.table.velZ[i], before.velZ[i] + (a0.z[i] + a1.z[i]) / 2.0L) << i;
  }
}

TEST(StormerStep, StepMassesAreThoseOfTheStepAfterwards) {
  SimRun run;
  testing::buildSolarSystem(run.table, run.state, true, 3);
  run.state.options.minorPerturb = true;
  startRun(run, 3.0L, 6);
  const std::vector<long double> masses = run.table.stepMass;
  extrapolationStep(run.table, run.state, run.model, run.integrator);
  EXPECT_EQ(run.table.stepMass, masses);
}

TEST(SplitExtended, HoldsEveryExtendedValueExactly) {
  // Random 64-bit significands over the whole range the integrator meets
  // (and far beyond), both signs, zero: the split gives each back bit for bit.
  std::mt19937_64 rng(7);
  for (int k = 0; k < 100000; ++k) {
    const std::uint64_t bits = rng() | (std::uint64_t{1} << 63);
    const int exponent = static_cast<int>(rng() % 1100) - 520;
    long double v = std::ldexp(static_cast<long double>(bits), exponent - 63);
    if (k % 2 == 1) v = -v;
    SplitExtended s;
    s.set(v);
    ASSERT_EQ(s.value(), v) << static_cast<double>(v);
  }
  SplitExtended zero;
  zero.set(0.0L);
  EXPECT_EQ(zero.value(), 0.0L);
}

// Two-body problem against the analytic Kepler solution.
struct KeplerCase {
  double e;
  int orbits;
  double tolerance;
  double meanAnomaly = 0.0;  // degrees, where the run starts and ends
};

class KeplerOrbit : public ::testing::TestWithParam<KeplerCase> {};

TEST_P(KeplerOrbit, MatchesTheAnalyticSolution) {
  const KeplerCase kc = GetParam();
  int orbits = kc.orbits;
  if (kSanitized && orbits > 100) orbits = 100;
  SimRun run;
  const long double mass = 0.0L;
  const long double a = 149.5978707L;
  const long double mu = gravitationalConstant * testing::sunMassGauss();
  const StateVector start = testing::keplerState(mu, a, kc.e, 10.0L, 30.0L, 60.0L, kc.meanAnomaly);
  testing::buildTwoBody(run.table, run.state, mass, start);
  run.state.options.extendedModel = false;
  const long double period = 2.0L * 3.14159265358979323846L * std::sqrt(a * a * a / mu);
  const int stepsPerOrbit = 120;
  startRun(run, period / stepsPerOrbit, 6);
  ASSERT_TRUE(testing::integrate(run.table, run.state, run.model, run.integrator,
                                 static_cast<long>(orbits) * stepsPerOrbit));
  const StateVector expected = testing::keplerPropagate(mu, start, run.state.epoch);
  const StateVector got = testing::trueState(run.table, run.state, 1);
  const long double error = testing::distance(got.r, expected.r) / testing::length(expected.r);
  RecordProperty("eccentricity", testing::scientific(kc.e));
  RecordProperty("orbits", orbits);
  RecordProperty("mean_anomaly", testing::scientific(kc.meanAnomaly));
  RecordProperty("relative_position_error", testing::scientific(error));
  EXPECT_LT(error, kSanitized && kc.orbits > 100 ? 4e-13 : kc.tolerance)
      << "e = " << kc.e << ", " << orbits << " orbits";
}

INSTANTIATE_TEST_SUITE_P(Eccentricities, KeplerOrbit,
                         // e = 0.6, 100 orbits from perihelion: 3.0e-13 measured.
                         // This is the truncation error of the 14th-order scheme
                         // itself: the same scheme run in 113-bit arithmetic (no
                         // rounding to speak of) gives 3.4e-13 for this orbit.
                         // The error is a lag along the orbit that grows with the
                         // square of the orbits (3.1e-11 after 1000); seen at
                         // perihelion, where the body turns five times faster
                         // than on average, it is sixteen times what it is at
                         // aphelion. The same orbit started and ended at M = 90°
                         // and at aphelion: 3.9e-14 and 2.2e-14.
                         ::testing::Values(KeplerCase{0.0, 100, 1e-13},
                                           KeplerCase{0.2, 100, 1e-13},
                                           KeplerCase{0.4, 100, 1e-13},
                                           KeplerCase{0.6, 100, 4e-13},
                                           KeplerCase{0.6, 100, 1e-13, 90.0},
                                           KeplerCase{0.6, 100, 1e-13, 180.0},
                                           KeplerCase{0.2, 1000, 5e-11},
                                           KeplerCase{0.6, 1000, 5e-11}));

TEST(SolarSystem, PointMassesConserveEnergyOverACentury) {
  SimRun run;
  testing::buildSolarSystem(run.table, run.state, false, 0);
  run.state.options.extendedModel = false;
  startRun(run, 3.0L, 6);
  const long double e0 = testing::totalEnergy(run.table, run.state);
  const long years = kSanitized ? 10 : 100;
  const long steps = static_cast<long>(years * 365.25L / 3.0L);
  long double worst = 0.0L;
  for (long k = 0; k < steps; ++k) {
    ASSERT_EQ(advanceNominalStep(run.table, run.state, run.model, run.integrator).status,
              IntegrateStatus::ok);
    if (k % 100 == 0 || k == steps - 1) {
      const long double de =
          std::fabs((testing::totalEnergy(run.table, run.state) - e0) / e0);
      worst = std::max(worst, de);
    }
  }
  RecordProperty("relative_energy_error", testing::scientific(worst));
  EXPECT_LT(worst, 1e-15L);
}

// Positions after `years` at step h (with or without the Moon weights).
std::vector<StateVector> runFor(double years, long double h, bool moonTable, int direction = 1,
                                std::vector<StateVector>* back = nullptr) {
  SimRun run;
  testing::buildSolarSystem(run.table, run.state, false, 0);
  startRun(run, h, 6, direction);
  run.integrator.moonTableEnabled = moonTable;
  // A whole number of 3-day steps, so every step size ends at the same epoch.
  const long days = 3 * std::lround(years * 365.25 / 3.0);
  const long steps = std::lround(days / static_cast<double>(h));
  EXPECT_TRUE(testing::integrate(run.table, run.state, run.model, run.integrator, steps));
  std::vector<StateVector> out;
  for (int i = 0; i <= run.table.layout.bodyCount; ++i) {
    out.push_back(testing::trueState(run.table, run.state, i));
  }
  if (back != nullptr) {
    reverseDirection(run.table, run.state);
    EXPECT_TRUE(testing::integrate(run.table, run.state, run.model, run.integrator, steps));
    back->clear();
    for (int i = 0; i <= run.table.layout.bodyCount; ++i) {
      back->push_back(testing::trueState(run.table, run.state, i));
    }
  }
  return out;
}

long double relativeError(const StateVector& a, const StateVector& b, const StateVector& sun) {
  const testing::Vec3 ra = {a.r[0] - sun.r[0], a.r[1] - sun.r[1], a.r[2] - sun.r[2]};
  return testing::distance(a.r, b.r) / testing::length(ra);
}

long double moonError(const std::vector<StateVector>& a, const std::vector<StateVector>& b) {
  const testing::Vec3 ga = {a[10].r[0] - a[3].r[0], a[10].r[1] - a[3].r[1],
                            a[10].r[2] - a[3].r[2]};
  const testing::Vec3 gb = {b[10].r[0] - b[3].r[0], b[10].r[1] - b[3].r[1],
                            b[10].r[2] - b[3].r[2]};
  return testing::distance(ga, gb) / testing::length(gb);
}

TEST(SolarSystem, ThreeDayStepConvergesToTheHalfDayStep) {
  const double years = kSanitized ? 3.0 : 10.0;
  const auto fine = runFor(years, 0.5L, true);
  const auto coarse = runFor(years, 3.0L, true);
  const auto coarseW = runFor(years, 3.0L, false);
  // Mercury makes only 29 steps an orbit at h = 3; with these mean elements
  // it ends the run at perihelion, where its error is largest (2.4e-13
  // measured); the other planets stay below 2e-13. That is the truncation
  // error of the scheme: a two-body orbit of Mercury's eccentricity at 29
  // steps an orbit, 41 orbits, gives 2.9e-13 in 113-bit arithmetic.
  long double worstPlanet = 0.0L;
  for (int i = 2; i <= 9; ++i) {
    worstPlanet = std::max(worstPlanet, relativeError(coarse[i], fine[i], fine[0]));
  }
  const long double mercury = relativeError(coarse[1], fine[1], fine[0]);
  RecordProperty("mercury_relative_difference", testing::scientific(mercury));
  EXPECT_LT(mercury, 3e-13L);
  const long double moonLw = moonError(coarse, fine);
  const long double moonW = moonError(coarseW, fine);
  RecordProperty("planet_relative_difference", testing::scientific(worstPlanet));
  RecordProperty("moon_error_Lw", testing::scientific(moonLw));
  RecordProperty("moon_error_W", testing::scientific(moonW));
  EXPECT_LT(worstPlanet, 2e-13L);
  EXPECT_GT(moonW / moonLw, 50.0L) << "Lw " << static_cast<double>(moonLw) << " W "
                                   << static_cast<double>(moonW);
}

struct RoundTripCase {
  double step;
  double planetTolerance;
  double moonTolerance;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ForwardThenBackwardReturnsToTheStart) {
  const RoundTripCase rc = GetParam();
  const double years = kSanitized ? 1.0 : 10.0;
  const auto start = runFor(0.0, rc.step, true);
  std::vector<StateVector> back;
  runFor(years, rc.step, true, 1, &back);
  long double worstPlanet = 0.0L;
  for (int i = 1; i <= 9; ++i) {
    worstPlanet = std::max(worstPlanet, relativeError(back[i], start[i], start[0]));
  }
  const long double moon = moonError(back, start);
  RecordProperty("planet_relative_difference", testing::scientific(worstPlanet));
  RecordProperty("moon_relative_difference", testing::scientific(moon));
  EXPECT_LT(worstPlanet, rc.planetTolerance);
  EXPECT_LT(moon, rc.moonTolerance);
}

INSTANTIATE_TEST_SUITE_P(Steps, RoundTrip,
                         ::testing::Values(RoundTripCase{1.0, 1e-12, 1e-9},
                                           RoundTripCase{3.0, 1e-11, 1e-7}));

TEST(SolarSystem, BackwardRunIsTheMirrorOfTheForwardRun) {
  // Integrating backward from a state equals integrating forward from the
  // state with reversed velocities, bit for bit: only the sign differs.
  SimRun fwd, bwd;
  testing::buildSolarSystem(fwd.table, fwd.state, true, 3);
  testing::buildSolarSystem(bwd.table, bwd.state, true, 3);
  for (int i = 0; i <= fwd.table.layout.bodyCount; ++i) {
    fwd.table.velX[i] = -fwd.table.velX[i];
    fwd.table.velY[i] = -fwd.table.velY[i];
    fwd.table.velZ[i] = -fwd.table.velZ[i];
  }
  fwd.state.options.extendedModel = bwd.state.options.extendedModel = false;
  startRun(fwd, 3.0L, 6, 1);
  startRun(bwd, 3.0L, 6, -1);
  ASSERT_TRUE(testing::integrate(fwd.table, fwd.state, fwd.model, fwd.integrator, 50));
  ASSERT_TRUE(testing::integrate(bwd.table, bwd.state, bwd.model, bwd.integrator, 50));
  EXPECT_EQ(bwd.state.epoch, -150.0L);
  for (int i = 0; i <= fwd.table.layout.bodyCount; ++i) {
    EXPECT_EQ(fwd.table.posX[i], bwd.table.posX[i]) << i;
    EXPECT_EQ(fwd.table.velZ[i], bwd.table.velZ[i]) << i;
  }
}

}  // namespace
}  // namespace tarvo
