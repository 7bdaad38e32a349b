// The dynamical model of the fit: the non-gravitational force on the fitted
// body against Gauss's equation for the semi-major axis, AF scaling A1..A3,
// the A0 Fix speed, and the added body of Add Body pulling the fitted body.
#include "fitra/least_squares.h"

#include "scratch_directory.h"
#include "shared_inputs.h"
#include "synthetic_orbit.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace fitra;
using namespace fitra::testing;

long double norm3(const Vector3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// a from vis-viva, Gm.
long double axis(const Vector3& r, const Vector3& v) {
    const long double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return 1 / (2 / norm3(r) - v2 / kMu);
}

// The change of a over `days` of a circular orbit of radius r (AU) under
// a transverse A2 (AU/day^2) with the inverse-square law.
long double axisDrift(long double rAu, long double A2, long double days) {
    FitraSettings s;
    s.yarkovsky = -1;
    s.relativistic = 0;
    FitDynamics d = sunOnlyDynamics(s, 0);
    d.state.options.extendedModel = true; // the forces beyond point masses
    const long double r = rAu * kAuGm, v = std::sqrt(kMu / r);
    FittedStart start;
    start.position = {r, 0, 0};
    start.velocity = {0, v / 0.0864L, 0};
    start.nonGrav = {0, A2, 0};
    std::vector<EpochStates> states;
    std::string why;
    EXPECT_TRUE(integrateRun(d, start, {days}, states, why)) << why;
    return axis(states[0].body, states[0].bodyVelocity) - r;
}

TEST(FitForces, TransverseForceRaisesTheAxisAsGaussSays) {
    const long double A2 = 1e-9L, days = 100;
    for (long double rAu : {1.0L, 2.0L}) {
        const long double r = rAu * kAuGm;
        // The inverse-square law: A2 at 1 AU, a quarter of it at 2 AU.
        const long double T = A2 * kAuGm / (rAu * rAu);
        const long double expected = 2 * T * std::sqrt(r * r * r / kMu) * days;
        EXPECT_NEAR(axisDrift(rAu, A2, days) / expected, 1.0L, 0.01L) << rAu;
    }
    EXPECT_NEAR(axisDrift(1, -A2, 100) / axisDrift(1, A2, 100), -1.0L, 1e-3L);
}

TEST(FitForces, AfScalesTheThreeCoefficientsTogether) {
    FitraSettings s;
    const FitDynamics d = sunOnlyDynamics(s, 0);
    ParameterSlots p;
    p.value = {0, 300, 0, 0, 0, 20, 0, 1e-9L, 2e-9L, -3e-9L, 0.111262L};
    p.increment[10] = 0.111262L; // a clone run at twice the value of AF
    FittedStart start;
    std::string why;
    ASSERT_TRUE(startOfRun(p, 10, s, d, start, why)) << why;
    EXPECT_NEAR(start.nonGrav[0], 2e-9L, 1e-21L);
    EXPECT_NEAR(start.nonGrav[1], 4e-9L, 1e-21L);
    EXPECT_NEAR(start.nonGrav[2], -6e-9L, 1e-21L);
    ASSERT_TRUE(startOfRun(p, 0, s, d, start, why));
    EXPECT_EQ(start.nonGrav[1], 2e-9L);
}

TEST(FitForces, FixedAxisOfAParabolaGivesTheParabolicSpeed) {
    FitraSettings s;
    s.fixA0 = -1;
    s.fixedA0 = -1;
    const FitDynamics d = sunOnlyDynamics(s, 0);
    StartingConditions c;
    c.state = {200, 50, -30, 5, 10, 2};
    const ParameterSlots p = initialSlots(s, c, d);
    EXPECT_FALSE(p.active[6]);
    FittedStart start;
    std::string why;
    ASSERT_TRUE(startOfRun(p, 0, s, d, start, why)) << why;
    const long double r = norm3(start.position);
    EXPECT_NEAR(norm3(start.velocity) * 0.0864L, std::sqrt(2 * kMu / r), 1e-12L);
    // The direction is the starting velocity's.
    const long double v = norm3({5, 10, 2});
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(start.velocity[k] / norm3(start.velocity), c.state[3 + k] / v, 1e-15L);
}

class AddedBody : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(AddedBody, PullsTheFittedBodyWithTheMassOfSlot13) {
    const std::filesystem::path tree = TARVO_TEST_TREE;
    FITRA_REQUIRE_FILE(tree / "BIN" / "PL431SN.BIN");
    FitraSettings s;
    s.addBody = -1;
    // A body of 1e24 kg at 2.5 AU, with the fitted body 1.5 Gm from it.
    tarvo::StateFileContents c;
    c.julianDate = 2451545.0L + 100;
    tarvo::StateRecord rec;
    rec.massField = 1.0;
    rec.nameField = "ADDED";
    rec.position = {2.5L * kAuGm, 0, 0};
    rec.velocity = {0, std::sqrt(kMu / (2.5L * kAuGm)) / 0.0864L, 0};
    rec.numberString = "0";
    c.records.push_back(rec);
    std::string why;
    ASSERT_TRUE(
        tarvo::writeStateFile(dir / "STARTING.TVX", tarvo::StateFileKind::MinorBody, c, why))
        << why;
    FitDynamics d;
    ASSERT_TRUE(buildFitDynamics(tree / "BIN", tree / "ASC", s, 100, d, why, dir / "STARTING.TVX"))
        << why;
    const int n = d.fittedIndex;
    ASSERT_EQ(d.table.layout.lastMassive, n - 1);
    EXPECT_EQ(d.table.mass[n - 1], 1.0L);
    FittedStart start;
    for (int k = 0; k < 3; ++k) {
        start.position[k] = rec.position[k] + (k == 1 ? 1.5L : 0) + (k == 0 ? d.table.posX[0] : 0);
        start.velocity[k] = rec.velocity[k];
    }
    start.position[1] += d.table.posY[0];
    start.position[2] += d.table.posZ[0];
    start.velocity[0] += d.table.velX[0] / 0.0864L;
    start.velocity[1] += d.table.velY[0] / 0.0864L;
    start.velocity[2] += d.table.velZ[0] / 0.0864L;
    std::vector<EpochStates> with, without;
    ASSERT_TRUE(integrateRun(d, start, {102}, with, why)) << why;
    start.setPrecedingMass = true;
    start.precedingMass = 0;
    ASSERT_TRUE(integrateRun(d, start, {102}, without, why)) << why;
    // Two days of a pull G m / r^2 towards the added body: 1/2 a t^2.
    const long double a = tarvo::gravitationalConstant * 1.0L / (1.5L * 1.5L);
    const long double shift = without[0].body[1] - with[0].body[1];
    EXPECT_NEAR(shift / (0.5L * a * 4), 1.0L, 0.02L);
}

} // namespace
