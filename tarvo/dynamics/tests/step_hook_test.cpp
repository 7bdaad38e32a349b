// The step hook: the states it hands over at both ends of every accepted
// step. Oracles: the analytic two-body solution (positions, velocities and
// the Newtonian acceleration at both ends), the continuity of consecutive
// steps, and the unhooked run, which the hook must not change by one bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

using testing::StateVector;
using testing::Vec3;

struct SimRun {
    BodyTable table;
    IntegrationState state;
    ForceModel model;
    Integrator integrator;
};

// Keeps a copy of every step it is shown.
struct Recorder : StepHook {
    struct Step {
        StepEnds ends;
        TableStates start, end;
    };
    std::vector<Step> steps;
    void afterAcceptedStep(const StepEnds& e) override { steps.push_back({e, *e.start, *e.end}); }
};

const long double kMu = gravitationalConstant * testing::sunMassGauss();
const long double kA = 149.5978707L;

void keplerRun(SimRun& r, long double step, int direction, long double e) {
    const StateVector start = testing::keplerState(kMu, kA, e, 10.0L, 30.0L, 60.0L, 20.0L);
    testing::buildTwoBody(r.table, r.state, 0.0L, start);
    r.state.options.extendedModel = false;
    r.state.step = r.state.nominalStep = step;
    r.state.orderCode = 6;
    r.model.coefficients = forceCoefficientsForDataSet(r.state.dataSet);
    beginIntegration(r.table, r.state, direction);
}

Vec3 at(const std::vector<long double>& x, const std::vector<long double>& y,
        const std::vector<long double>& z, int i) {
    return {x[i], y[i], z[i]};
}

void expectNear(const Vec3& got, const Vec3& want, long double relative, const char* what,
                long double t) {
    const long double error = testing::distance(got, want) / testing::length(want);
    EXPECT_LT(error, relative) << what << " at t = " << static_cast<double>(t);
}

class TwoBodySteps : public ::testing::TestWithParam<int> {};

TEST_P(TwoBodySteps, BothEndsMatchTheAnalyticOrbitInEitherDirection) {
    const int direction = GetParam();
    SimRun r;
    Recorder hook;
    keplerRun(r, 4.0L, direction, 0.3L);
    const StateVector start = testing::trueState(r.table, r.state, 1);
    r.integrator.stepHook = &hook;
    ASSERT_TRUE(testing::integrate(r.table, r.state, r.model, r.integrator, 40));
    ASSERT_EQ(hook.steps.size(), 40u) << "one call per accepted step of a fixed-step run";
    for (std::size_t k = 0; k < hook.steps.size(); ++k) {
        const Recorder::Step& s = hook.steps[k];
        EXPECT_EQ(s.ends.h, 4.0L);
        EXPECT_EQ(s.ends.direction, direction);
        EXPECT_EQ(s.ends.t1, s.ends.t0 + direction * 4.0L);
        EXPECT_EQ(s.ends.bodyCount, 1);
        EXPECT_FALSE(s.ends.shortened);
        for (int end = 0; end < 2; ++end) {
            const TableStates& st = end ? s.end : s.start;
            const long double t = end ? s.ends.t1 : s.ends.t0;
            const StateVector want = testing::keplerPropagate(kMu, start, t);
            const Vec3 r1 = at(st.x, st.y, st.z, 1);
            expectNear(r1, want.r, 1e-13L, "position", t);
            expectNear(at(st.vx, st.vy, st.vz, 1), want.v, 1e-12L, "velocity", t);
            const long double d = testing::length(want.r);
            const Vec3 g = {-kMu * want.r[0] / (d * d * d), -kMu * want.r[1] / (d * d * d),
                            -kMu * want.r[2] / (d * d * d)};
            expectNear(at(st.ax, st.ay, st.az, 1), g, 1e-12L, "acceleration", t);
        }
        if (k > 0) {
            // One step's end is the next one's start, exactly.
            const Recorder::Step& p = hook.steps[k - 1];
            EXPECT_EQ(p.ends.t1, s.ends.t0);
            EXPECT_EQ(p.end.x, s.start.x);
            EXPECT_EQ(p.end.ax, s.start.ax);
            for (int i = 0; i <= 1; ++i) {
                EXPECT_NEAR(static_cast<double>(p.end.vx[i] - s.start.vx[i]), 0.0, 1e-15);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, TwoBodySteps, ::testing::Values(1, -1));

TEST(StepHook, TheWatchedRunIsTheUnwatchedRunBitForBit) {
    SimRun plain, watched;
    testing::buildSolarSystem(plain.table, plain.state, true, 20);
    testing::buildSolarSystem(watched.table, watched.state, true, 20);
    for (SimRun* r : {&plain, &watched}) {
        r->state.step = r->state.nominalStep = 3.0L;
        r->state.orderCode = 6;
        r->model.coefficients = forceCoefficientsForDataSet(r->state.dataSet);
        beginIntegration(r->table, r->state, 1);
    }
    Recorder hook;
    watched.integrator.stepHook = &hook;
    ASSERT_TRUE(testing::integrate(plain.table, plain.state, plain.model, plain.integrator, 30));
    ASSERT_TRUE(
        testing::integrate(watched.table, watched.state, watched.model, watched.integrator, 30));
    const std::size_t n = static_cast<std::size_t>(plain.table.layout.bodyCount) + 1;
    for (auto member : {&BodyTable::posX, &BodyTable::posY, &BodyTable::posZ, &BodyTable::velX,
                        &BodyTable::velY, &BodyTable::velZ})
        EXPECT_EQ(0, std::memcmp((plain.table.*member).data(), (watched.table.*member).data(),
                                 n * sizeof(long double)));
    EXPECT_EQ(hook.steps.size(), 30u);
}

// The solar system with a massless body passing 0.01 Gm from the Earth
// half-way through the first 3-day step: the adaptive control subdivides it.
TEST(StepHook, AdaptiveSubstepsTileTheNominalStep) {
    SimRun r;
    testing::buildSolarSystem(r.table, r.state, false, 1);
    const int j = 11, E = 3;
    r.table.layout.bodyCount = 11;
    r.table.posX[j] = r.table.posX[E] + 0.6L;
    r.table.posY[j] = r.table.posY[E] + 0.01L;
    r.table.posZ[j] = r.table.posZ[E];
    r.table.velX[j] = r.table.velX[E] - 0.4L;
    r.table.velY[j] = r.table.velY[E];
    r.table.velZ[j] = r.table.velZ[E];
    r.state.adaptive = true;
    r.state.step = r.state.nominalStep = 3.0L;
    r.state.orderCode = 7;
    r.model.coefficients = forceCoefficientsForDataSet(r.state.dataSet);
    beginIntegration(r.table, r.state, 1);
    Recorder hook;
    r.integrator.stepHook = &hook;
    ASSERT_EQ(advanceNominalStep(r.table, r.state, r.model, r.integrator).status,
              IntegrateStatus::ok);
    ASSERT_GT(hook.steps.size(), 3u);
    long double covered = 0;
    for (std::size_t k = 0; k < hook.steps.size(); ++k) {
        const StepEnds& e = hook.steps[k].ends;
        EXPECT_EQ(e.t0, k == 0 ? 0.0L : hook.steps[k - 1].ends.t1);
        covered += e.h;
        if (k + 1 < hook.steps.size()) {
            EXPECT_TRUE(e.shortened);
        }
        // The body's step-end velocity agrees with the next start's (same state,
        // scaled for another step).
        if (k > 0) {
            const TableStates& before = hook.steps[k - 1].end;
            const TableStates& now = hook.steps[k].start;
            EXPECT_EQ(before.x[j], now.x[j]);
            EXPECT_NEAR(static_cast<double>(before.vx[j] / now.vx[j]), 1.0, 1e-15);
        }
    }
    EXPECT_EQ(hook.steps.back().ends.t1, 3.0L);
    EXPECT_NEAR(static_cast<double>(covered), 3.0, 1e-13);
}

} // namespace
} // namespace tarvo
