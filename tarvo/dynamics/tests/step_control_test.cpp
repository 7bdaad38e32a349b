// Step control and the integration driver. Oracles: the halving rule in
// numbers, exact epochs (steps land on the nominal boundary), a reference
// run with many small fixed steps for the adaptive close approach, the
// instantaneous velocity change of an impulse, and bit-identical results
// for any number of threads.
#include <gtest/gtest.h>

#include <cmath>
#ifdef _OPENMP
#include <omp.h>
#endif

#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

using testing::Vec3;

struct SimRun {
  BodyTable table;
  IntegrationState state;
  ForceModel model;
  Integrator integrator;
};

void start(SimRun& r, long double step, int order, int direction = 1) {
  r.state.step = r.state.nominalStep = step;
  r.state.orderCode = order;
  r.model.coefficients = forceCoefficientsForDataSet(r.state.dataSet);
  beginIntegration(r.table, r.state, direction);
}

TEST(Halving, OneHalvingPerFactorTwoToTheSixteenOfExcessError) {
  EXPECT_EQ(stepHalvings(stepTolerance * 1.000001), 1);
  EXPECT_EQ(stepHalvings(stepTolerance * 65536.0), 1);
  EXPECT_EQ(stepHalvings(stepTolerance * 65537.0), 2);
  EXPECT_EQ(stepHalvings(stepTolerance * 4294967296.0), 2);
  EXPECT_EQ(stepHalvings(stepTolerance * 4294967297.0), 3);
}

TEST(ErrorEstimate, FiniteForABodyAtTheOrigin) {
  const long double zero[3] = {0.0L, 0.0L, 0.0L};
  const long double small[3] = {1e-30L, 0.0L, -1e-30L};
  EXPECT_EQ(relativeStepError(zero, zero, 637491254400.0L), 0.0L);
  EXPECT_TRUE(std::isfinite(relativeStepError(small, zero, 637491254400.0L)));
}

TEST(MoonRule, AStepBetweenTwoAndThreeDaysBecomesTwoThenTheRest) {
  SimRun r;
  testing::buildSolarSystem(r.table, r.state, false, 0);
  start(r, 2.9L, 6);
  const IntegrateResult res = advanceNominalStep(r.table, r.state, r.model, r.integrator);
  EXPECT_EQ(res.status, IntegrateStatus::ok);
  EXPECT_EQ(res.attempts, 2);              // 2 days, then 0.9
  EXPECT_NEAR(static_cast<double>(res.stepTaken), 0.9, 1e-15);
  EXPECT_EQ(r.state.epoch, 2.9L);          // exactly on the boundary
  EXPECT_EQ(r.state.step, 2.9L);           // the next nominal step starts again at 2.9
}

TEST(MoonRule, ThreeDayStepUsesTheMoonWeightsForTheMoonOnly) {
  SimRun lw, w;
  testing::buildSolarSystem(lw.table, lw.state, true, 0);
  testing::buildSolarSystem(w.table, w.state, true, 0);
  start(lw, 3.0L, 6);
  start(w, 3.0L, 6);
  w.integrator.moonTableEnabled = false;
  const StepError a = extrapolationStep(lw.table, lw.state, lw.model, lw.integrator);
  const StepError b = extrapolationStep(w.table, w.state, w.model, w.integrator);
  EXPECT_TRUE(a.moonTableUsed);
  EXPECT_FALSE(b.moonTableUsed);
  for (int i = 0; i <= lw.table.layout.bodyCount; ++i) {
    if (i == 10) {
      EXPECT_NE(lw.table.posX[i], w.table.posX[i]);
    } else {
      EXPECT_EQ(lw.table.posX[i], w.table.posX[i]) << i;
      EXPECT_EQ(lw.table.velY[i], w.table.velY[i]) << i;
    }
  }
  SimRun two;
  testing::buildSolarSystem(two.table, two.state, true, 0);
  start(two, 2.0L, 6);
  EXPECT_FALSE(extrapolationStep(two.table, two.state, two.model, two.integrator).moonTableUsed);
}

// The solar system with a massless body passing 0.01 Gm from the Earth
// half-way through the first 3-day step.
void closeApproach(SimRun& r) {
  testing::buildSolarSystem(r.table, r.state, false, 1);
  const int j = 11, E = 3;
  r.table.layout.bodyCount = 11;
  r.table.posX[j] = r.table.posX[E] + 0.6L;
  r.table.posY[j] = r.table.posY[E] + 0.01L;
  r.table.posZ[j] = r.table.posZ[E];
  r.table.velX[j] = r.table.velX[E] - 0.4L;
  r.table.velY[j] = r.table.velY[E];
  r.table.velZ[j] = r.table.velZ[E];
}

TEST(AdaptiveControl, CloseApproachIsSubdividedAndEndsOnTheBoundary) {
  SimRun r;
  closeApproach(r);
  r.state.adaptive = true;
  start(r, 3.0L, 7);
  const IntegrateResult res = advanceNominalStep(r.table, r.state, r.model, r.integrator);
  ASSERT_EQ(res.status, IntegrateStatus::ok);
  EXPECT_GT(res.halvings, 3);
  EXPECT_TRUE(res.boundaryReached);
  EXPECT_EQ(r.state.epoch, 3.0L);
  EXPECT_EQ(r.state.step, 3.0L);
  EXPECT_EQ(r.integrator.control.remaining, 3.0L);

  // Reference: 2048 fixed steps of the highest order.
  SimRun ref;
  closeApproach(ref);
  start(ref, 3.0L / 2048.0L, 8);
  ASSERT_TRUE(testing::integrate(ref.table, ref.state, ref.model, ref.integrator, 2048));
  const auto a = testing::trueState(r.table, r.state, 11);
  const auto b = testing::trueState(ref.table, ref.state, 11);
  const auto e = testing::trueState(ref.table, ref.state, 3);
  const Vec3 geo = {b.r[0] - e.r[0], b.r[1] - e.r[1], b.r[2] - e.r[2]};
  const long double err = testing::distance(a.r, b.r) / testing::length(geo);
  RecordProperty("close_approach_relative_error", testing::scientific(err));
  EXPECT_LT(err, 1e-11L);
}

TEST(AdaptiveControl, RunsAtLeastAtOrderSeven) {
  SimRun low, seven;
  testing::buildSolarSystem(low.table, low.state, true, 2);
  testing::buildSolarSystem(seven.table, seven.state, true, 2);
  low.state.adaptive = seven.state.adaptive = true;
  start(low, 3.0L, 0);
  start(seven, 3.0L, 7);
  const StepError a = extrapolationStep(low.table, low.state, low.model, low.integrator);
  const StepError b = extrapolationStep(seven.table, seven.state, seven.model, seven.integrator);
  EXPECT_GT(a.error, 1e-64);
  EXPECT_EQ(a.error, b.error);
  EXPECT_EQ(low.table.posX, seven.table.posX);
}

TEST(AdaptiveControl, NonFiniteStepReportsTheErrorAndKeepsTheState) {
  for (const bool adaptive : {false, true}) {
    SimRun r;
    testing::buildSolarSystem(r.table, r.state, true, 1);
    const int j = 14;
    r.table.posX[j] = r.table.posX[0];  // on top of the Sun
    r.table.posY[j] = r.table.posY[0];
    r.table.posZ[j] = r.table.posZ[0];
    r.state.adaptive = adaptive;
    start(r, 3.0L, 7);
    const BodyTable before = r.table;
    const IntegrateResult res = advanceNominalStep(r.table, r.state, r.model, r.integrator);
    EXPECT_EQ(res.status, IntegrateStatus::error);
    EXPECT_EQ(res.message.rfind("Error 6 is in Integrate: the motion of body ", 0), 0u)
        << res.message;
    // The body on top of the Sun is named, with the Sun 0 km from it.
    EXPECT_NE(res.message.find("0 km from body"), std::string::npos) << res.message;
    EXPECT_NE(res.message.find("body 14"), std::string::npos) << res.message;
    EXPECT_NE(res.message.find("body 0"), std::string::npos) << res.message;
    EXPECT_EQ(res.faultBody, j);  // for the caller, who knows the files they came from
    EXPECT_EQ(res.nearestBody, 0);
    EXPECT_EQ(r.state.epoch, 0.0L);
    EXPECT_EQ(r.table.posX, before.posX);
    EXPECT_EQ(r.table.velZ, before.velZ);
  }
}

TEST(SolarMassLoss, FactorIsTakenAtTheMiddleOfTheStep) {
  for (const int direction : {1, -1}) {
    SimRun r;
    testing::buildSolarSystem(r.table, r.state, false, 0);
    r.state.options.solarMassLoss = true;
    r.state.epoch = 1000.0L;
    start(r, 3.0L, 6, direction);
    advanceNominalStep(r.table, r.state, r.model, r.integrator);
    EXPECT_EQ(r.state.solarMassLossFactor, -2.5e-16L * (1000.0L + direction * 3.0L / 2.0L));
  }
  SimRun off;
  testing::buildSolarSystem(off.table, off.state, false, 0);
  start(off, 3.0L, 6);
  advanceNominalStep(off.table, off.state, off.model, off.integrator);
  EXPECT_EQ(off.state.solarMassLossFactor, 0.0L);
}

TEST(Impulse, ChangesTheVelocityOnceInTheStepThatHoldsItsEpoch) {
  for (const int direction : {1, -1}) {
    SimRun with, without;
    testing::buildSolarSystem(with.table, with.state, true, 1);
    testing::buildSolarSystem(without.table, without.state, true, 1);
    const int j = 14;
    with.table.impulse[j].epoch = direction * 4.5;  // inside the second step
    with.table.impulse[j].deltaV[0] = 0.01;          // km/s along the velocity
    with.table.impulse[j].deltaV[1] = 0.02;
    with.table.impulse[j].deltaV[2] = -0.005;
    with.state.options.singleImpulse = true;  // extra option "^"
    start(with, 3.0L, 6, direction);
    start(without, 3.0L, 6, direction);
    for (int step = 1; step <= 3; ++step) {
      advanceNominalStep(with.table, with.state, with.model, with.integrator);
      advanceNominalStep(without.table, without.state, without.model, without.integrator);
      const auto a = testing::trueState(with.table, with.state, j);
      const auto b = testing::trueState(without.table, without.state, j);
      const Vec3 dv = {a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2]};
      const long double expected = 0.0864L * std::sqrt(0.01L * 0.01L + 0.02L * 0.02L +
                                                        0.005L * 0.005L);
      if (step == 1) {
        EXPECT_EQ(testing::length(dv), 0.0L) << direction;
      } else if (step == 2) {
        EXPECT_NEAR(static_cast<double>(testing::length(dv) / expected), 1.0, 1e-12) << direction;
        // The along-track part is along the heliocentric velocity.
        const auto sun = testing::trueState(without.table, without.state, 0);
        const Vec3 v = {b.v[0] - sun.v[0], b.v[1] - sun.v[1], b.v[2] - sun.v[2]};
        const long double along = (dv[0] * v[0] + dv[1] * v[1] + dv[2] * v[2]) /
                                  testing::length(v);
        EXPECT_NEAR(static_cast<double>(along), 0.0864 * 0.01, 1e-12) << direction;
      }
    }
  }
}

TEST(Impulse, IsIgnoredWithoutTheSingleImpulseOption) {
  SimRun with, without;
  testing::buildSolarSystem(with.table, with.state, true, 1);
  testing::buildSolarSystem(without.table, without.state, true, 1);
  with.table.impulse[14].epoch = 4.5;
  with.table.impulse[14].deltaV[0] = 0.01;
  start(with, 3.0L, 6);
  start(without, 3.0L, 6);
  for (int step = 1; step <= 3; ++step) {
    advanceNominalStep(with.table, with.state, with.model, with.integrator);
    advanceNominalStep(without.table, without.state, without.model, without.integrator);
  }
  EXPECT_EQ(with.table.velX, without.table.velX);
  EXPECT_EQ(with.table.posY, without.table.posY);
}

#ifdef _OPENMP
// Two runs with 1 and 2 threads must agree bit for bit.
void threadRun(int threads, bool minorPerturb, bool extended, BodyTable& out) {
  omp_set_num_threads(threads);
  SimRun r;
  // Enough minor bodies for several chunks on every parallel pass.
  testing::buildSolarSystem(r.table, r.state, true, minorPerturb ? 1100 : 3000);
  r.state.options.minorPerturb = minorPerturb;
  r.state.options.extendedAccumulation = extended;
  if (minorPerturb) {
    for (int i = 14; i <= r.table.layout.bodyCount; ++i) r.table.mass[i] = 1e-9L * (i % 7);
  }
  start(r, 3.0L, 6);
  testing::integrate(r.table, r.state, r.model, r.integrator, 1);
  out = r.table;
}

TEST(Threads, ResultsDoNotDependOnTheNumberOfThreads) {
  const int saved = omp_get_max_threads();
  for (const bool minorPerturb : {false, true}) {
    for (const bool extended : {false, true}) {
      BodyTable one, two;
      threadRun(1, minorPerturb, extended, one);
      threadRun(2, minorPerturb, extended, two);
      EXPECT_EQ(one.posX, two.posX) << minorPerturb << extended;
      EXPECT_EQ(one.posZ, two.posZ) << minorPerturb << extended;
      EXPECT_EQ(one.velY, two.velY) << minorPerturb << extended;
    }
  }
  omp_set_num_threads(saved);
}
#endif

}  // namespace
}  // namespace tarvo
