// The collision trap, removal, the move to the barycentre and the
// conservation quantities. Oracles: conservation laws (mass and momentum of
// a merger exactly, with binary-exact states; the energy and angular
// momentum of the point-mass Solar System over a millennium; zero momentum
// after the move), the energy written out independently by the test
// systems, and the table rules of removal.
#include <gtest/gtest.h>

#include <cmath>

#include "tarvo/dynamics/collisions.h"
#include "tarvo/dynamics/physical_constants.h"
#include "test_systems.h"

namespace tarvo {
namespace {

#ifdef TARVO_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A Sun and `count` bodies at rest 100 Gm away on the x axis, all major and
// massive, no Moon, step 1 day (step velocities are Gm/day).
struct Bench {
    BodyTable t;
    IntegrationState s;
    explicit Bench(int count, int lastMassive = -1) {
        createBodyTable(minimumMaxBodies, t);
        t.layout = BodyLayout{};
        t.layout.bodyCount = count;
        t.layout.lastMajor = count;
        t.layout.lastMassive = lastMassive < 0 ? count : lastMassive;
        t.layout.noMoon = true;
        t.layout.moonIndex = t.maxBodies;
        t.layout.earthIndex = 0;
        t.mass[0] = 1988500.0L;
        t.radius[0] = 0.696;
        for (int i = 1; i <= count; ++i) {
            t.posX[i] = 100.0L + 10.0L * i;
            t.mass[i] = 1.0L;
            setBodyName(t, i, "Body" + std::to_string(i));
        }
        setBodyName(t, 0, "Sun");
        s.step = 1.0L;
    }
};

TEST(CollisionTrap, HeadOnMergerConservesMassAndMomentumExactly) {
    Bench b(3);
    BodyTable& t = b.t;
    // Binary-exact states: every sum and quotient of the merger is exact.
    const long double half = std::ldexp(1.0L, -11);
    t.posX[1] = 100.0L - half;
    t.posX[2] = 100.0L + half;
    t.posY[1] = t.posY[2] = 0.25L;
    t.velX[1] = std::ldexp(1.0L, -10);
    t.velX[2] = -std::ldexp(1.0L, -10);
    t.velZ[1] = std::ldexp(1.0L, -12);
    t.mass[1] = 1.0L;
    t.mass[2] = 3.0L;
    t.radius[1] = t.radius[2] = std::ldexp(1.0, -10);
    const long double massBefore = t.mass[1] + t.mass[2];
    const long double px = t.mass[1] * t.velX[1] + t.mass[2] * t.velX[2];
    const long double pz = t.mass[1] * t.velZ[1] + t.mass[2] * t.velZ[2];
    const long double cx = t.mass[1] * t.posX[1] + t.mass[2] * t.posX[2];

    const TrapResult r = trapCollisions(t, b.s, {});
    ASSERT_TRUE(r.event);
    ASSERT_EQ(r.collisions.size(), 1u);
    EXPECT_EQ(r.collisions[0].i, 1);
    EXPECT_EQ(r.collisions[0].j, 2);
    EXPECT_TRUE(r.collisions[0].merged);
    EXPECT_EQ(t.collisionFlag[2], -1);
    EXPECT_TRUE(r.ejections.empty());
    EXPECT_EQ(t.mass[1], massBefore);
    EXPECT_EQ(t.mass[1] * t.velX[1], px);
    EXPECT_EQ(t.mass[1] * t.velZ[1], pz);
    EXPECT_EQ(t.mass[1] * t.posX[1], cx);
    EXPECT_EQ(t.posY[1], 0.25L);
    EXPECT_EQ(t.stepMass[1], gravitationalConstant * 4.0L);
    EXPECT_DOUBLE_EQ(t.radius[1], std::ldexp(1.0, -10) * std::pow(4.0, 0.333));

    EXPECT_EQ(removeFlaggedBodies(t, b.s, false), 1);
    EXPECT_EQ(t.layout.bodyCount, 2);
    EXPECT_EQ(t.layout.lastMajor, 2);
    EXPECT_EQ(bodyName(t, 2), "Body3    "); // the last body took the slot
}

TEST(CollisionTrap, MergerRadiiAndMasslessBodies) {
    Bench b(2);
    BodyTable& t = b.t;
    t.posX[2] = t.posX[1] + 0.001L;
    t.radius[1] = t.radius[2] = 0.01;
    trapCollisions(t, b.s, {});
    EXPECT_DOUBLE_EQ(t.radius[1], 0.01 * std::pow(2.0, 0.333)); // not 2^(1/3)
    EXPECT_NE(t.radius[1], 0.01 * std::cbrt(2.0));

    // Two bodies without mass: flagged, nothing divided by zero.
    Bench z(2);
    z.t.mass[1] = z.t.mass[2] = 0;
    z.t.posX[2] = z.t.posX[1] + 0.001L;
    z.t.velX[1] = 0.5L;
    z.t.radius[1] = z.t.radius[2] = 0.01;
    const TrapResult r = trapCollisions(z.t, z.s, CollisionSettings{true, noEjectionCutoff});
    ASSERT_EQ(r.collisions.size(), 1u);
    EXPECT_EQ(z.t.velX[1], 0.5L);
    EXPECT_EQ(z.t.radius[1], 0.01);
    EXPECT_TRUE(std::isfinite(static_cast<double>(z.t.posX[1])));
    EXPECT_EQ(z.t.mass[1], 0);

    // Radius 0 never collides, even at the same place.
    Bench p(2);
    p.t.posX[2] = p.t.posX[1];
    p.t.radius[1] = 0.01;
    EXPECT_FALSE(trapCollisions(p.t, p.s, {}).event);
}

TEST(CollisionTrap, MinorBodyHittingAPlanetIsRemovedAndThePlanetUnchanged) {
    Bench b(3, 2); // body 3 is a minor body (above lastMassive)
    BodyTable& t = b.t;
    t.layout.lastMajor = 2;
    t.mass[3] = 0.5L;
    t.posX[3] = t.posX[2] + 0.003L;
    t.radius[2] = 0.006;
    t.radius[3] = 1e-5;
    const long double massBefore = t.mass[2];
    const long double xBefore = t.posX[2];
    TrapResult r = trapCollisions(t, b.s, {});
    ASSERT_EQ(r.collisions.size(), 1u);
    EXPECT_FALSE(r.collisions[0].merged);
    EXPECT_EQ(r.collisions[0].nameI, "Body2    ");
    EXPECT_EQ(t.mass[2], massBefore);
    EXPECT_EQ(t.radius[2], 0.006);
    EXPECT_EQ(t.posX[2], xBefore);
    EXPECT_EQ(removeFlaggedBodies(t, b.s, false), 1);
    EXPECT_EQ(t.layout.bodyCount, 2);

    // Option C: the same body merges.
    Bench c(3, 2);
    c.t.layout.lastMajor = 2;
    c.t.mass[3] = 0.5L;
    c.t.posX[3] = c.t.posX[2] + 0.003L;
    c.t.radius[2] = 0.006;
    c.t.radius[3] = 1e-5;
    r = trapCollisions(c.t, c.s, CollisionSettings{true, noEjectionCutoff});
    ASSERT_EQ(r.collisions.size(), 1u);
    EXPECT_TRUE(r.collisions[0].merged);
    EXPECT_EQ(c.t.mass[2], 1.5L);
}

TEST(CollisionTrap, EjectionByCutoffOrEnergy) {
    // Bound (at rest) but beyond the cutoff: ejected; the farthest body only.
    Bench b(3);
    const TrapResult r = trapCollisions(b.t, b.s, CollisionSettings{false, 125.0L});
    ASSERT_EQ(r.ejections.size(), 1u);
    EXPECT_EQ(r.ejections[0].k, 3);
    EXPECT_EQ(b.t.collisionFlag[3], 1);
    EXPECT_EQ(b.t.collisionFlag[2], 0);
    EXPECT_LT(r.ejections[0].energy, 0);
    EXPECT_FALSE(trapCollisions(b.t, b.s, CollisionSettings{false, 131.0L}).event);

    // Unbound inside the cutoff: v^2/2 > G M / d. Step velocity = v h.
    Bench u(2);
    u.s.step = 2.0L;
    const long double escape = std::sqrt(2 * gravitationalConstant * 1988502.0L / 120.0L);
    u.t.velY[2] = 1.01L * escape * u.s.step;
    const TrapResult e = trapCollisions(u.t, u.s, {});
    ASSERT_EQ(e.ejections.size(), 1u);
    EXPECT_GT(e.ejections[0].energy, 0);
    u.t.velY[2] = 0.99L * escape * u.s.step;
    EXPECT_FALSE(trapCollisions(u.t, u.s, {}).event);

    // The Sun alone is never ejected.
    Bench sun(0);
    EXPECT_FALSE(trapCollisions(sun.t, sun.s, CollisionSettings{false, 1e-3L}).event);
}

// The Solar System of the test systems (Moon at 10, geocentric), step 3 days.
struct System {
    BodyTable t;
    IntegrationState s;
    ForceModel model;
    Integrator integrator;
    explicit System(bool asteroids, int minors = 0) {
        testing::buildSolarSystem(t, s, asteroids, minors);
        s.step = s.nominalStep = 3.0L;
        s.orderCode = 6;
        beginIntegration(t, s, 1);
        model.coefficients = forceCoefficientsForDataSet(s.dataSet);
    }
};

TEST(CollisionTrap, TheMoonCollidesWhereItIsNotWhereItIsStored) {
    System sys(false, 2);
    BodyTable& t = sys.t;
    const int moon = t.layout.moonIndex, earth = t.layout.earthIndex;
    const int a = t.layout.bodyCount - 1, b = t.layout.bodyCount;
    ASSERT_GT(a, t.layout.lastMajor);
    t.radius[moon] = 0.0017374;
    t.radius[earth] = 0.006378;
    t.radius[a] = t.radius[b] = 1e-5;
    // a at the Moon's true place; b at the Moon's geocentric coordinates.
    t.posX[a] = t.posX[earth] + t.posX[moon] + 0.001L;
    t.posY[a] = t.posY[earth] + t.posY[moon];
    t.posZ[a] = t.posZ[earth] + t.posZ[moon];
    t.posX[b] = t.posX[moon];
    t.posY[b] = t.posY[moon];
    t.posZ[b] = t.posZ[moon];
    t.mass[a] = 1e-6L;
    const long double moonMass = t.mass[moon];
    const long double geoX = t.posX[moon];
    const TrapResult r = trapCollisions(t, sys.s, CollisionSettings{true, noEjectionCutoff});
    ASSERT_EQ(r.collisions.size(), 1u);
    EXPECT_EQ(r.collisions[0].i, moon);
    EXPECT_EQ(r.collisions[0].j, a);
    EXPECT_EQ(t.collisionFlag[b], 0);
    // The merged Moon stays geocentric: it moved by m_a/(m_M + m_a) of 1 km.
    EXPECT_EQ(t.mass[moon], moonMass + 1e-6L);
    EXPECT_NEAR(static_cast<double>(t.posX[moon] - geoX),
                static_cast<double>(0.001L * 1e-6L / (moonMass + 1e-6L)), 1e-18);
}

TEST(CollisionTrap, RemovalKeepsTheIndexLayoutRight) {
    System sys(true, 3);
    BodyTable& t = sys.t;
    const BodyLayout before = t.layout;
    const int n = before.bodyCount;
    // The Moon moves to the end of the table, as a full file may hold it.
    copyBody(t, before.moonIndex, n + 1);
    copyBody(t, n, before.moonIndex);
    t.layout.bodyCount = n + 1;
    t.layout.moonIndex = n + 1;
    const int moon = n + 1;
    const std::string moonName = bodyName(t, moon);
    const std::string earthName = bodyName(t, t.layout.earthIndex);
    const std::string lastMinor = bodyName(t, n - 1);
    // Flag one minor body in the middle and one perturbing asteroid.
    const int minor = before.lastMassive + 1;
    const int asteroid = before.lastMassive;
    t.collisionFlag[minor] = -1;
    t.collisionFlag[asteroid] = -1;
    EXPECT_EQ(removeFlaggedBodies(t, sys.s, false), 2);
    EXPECT_EQ(t.layout.bodyCount, n - 1);
    // The Moon went into the first slot freed (from the top), then the next.
    EXPECT_EQ(bodyName(t, t.layout.moonIndex), moonName);
    EXPECT_EQ(bodyName(t, t.layout.earthIndex), earthName);
    EXPECT_LE(t.layout.moonIndex, t.layout.bodyCount);
    EXPECT_TRUE(t.moonIntegrated());
    for (int i = 0; i <= t.layout.bodyCount; ++i) EXPECT_EQ(t.collisionFlag[i], 0) << i;

    // Removing the last body only shortens the table; lastMajor and
    // lastMassive follow when the table falls below them.
    Bench small(3, 2);
    small.t.collisionFlag[3] = -1;
    small.t.collisionFlag[2] = -1;
    EXPECT_EQ(removeFlaggedBodies(small.t, small.s, false), 2);
    EXPECT_EQ(small.t.layout.bodyCount, 1);
    EXPECT_EQ(small.t.layout.lastMajor, 1);
    EXPECT_LE(small.t.layout.lastMassive, 1);
}

// Total momentum of the massive bodies written out here, Gm/day.
std::array<long double, 4> momentum(const BodyTable& t, const IntegrationState& s) {
    std::array<long double, 4> p{0, 0, 0, 0}; // components, sum of |m v|
    for (int i = 0; i <= t.layout.lastMassive; ++i) {
        const testing::StateVector a = testing::trueState(t, s, i);
        for (int k = 0; k < 3; ++k) p[k] += t.mass[i] * a.v[k];
        p[3] += t.mass[i] * testing::length(a.v);
    }
    return p;
}

TEST(Barycentre, MomentumVanishesAfterTheMove) {
    System sys(true, 5);
    BodyTable& t = sys.t;
    const int moon = t.layout.moonIndex;
    const long double moonX = t.posX[moon], moonU = t.velX[moon];
    const std::array<long double, 4> p0 = momentum(t, sys.s);
    ASSERT_GT(std::fabs(p0[0]) / p0[3], 1e-6L); // the test systems start off the barycentre
    const Vector3 r = moveToBarycentre(t, sys.s, false);
    EXPECT_GT(testing::length(r), 1e-4L);
    const std::array<long double, 4> p = momentum(t, sys.s);
    const long double residual = testing::length({p[0], p[1], p[2]}) / p[3];
    RecordProperty("relative_momentum_after_move", testing::scientific(residual));
    EXPECT_LT(residual, 1e-18L);
    const ConservationQuantities q = conservationQuantities(t, sys.s, false);
    EXPECT_LT(testing::length(q.barycentre), 1e-15L);
    EXPECT_EQ(t.posX[moon], moonX); // geocentric: moves with the Earth
    EXPECT_EQ(t.velX[moon], moonU);
}

TEST(CollisionTrap, ALostPlanetKeepsTheBlocksWhole) {
    // Data-set-2 layout (majors and the three asteroids 0..13) and three
    // massless minor bodies: Jupiter goes.
    System sys(true, 3);
    BodyTable& t = sys.t;
    const BodyLayout before = t.layout;
    ASSERT_EQ(before.lastMajor, 13);
    const std::string lastMajorName = bodyName(t, before.lastMajor);
    const std::string lastName = bodyName(t, before.bodyCount);
    const std::string moonName = bodyName(t, before.moonIndex);
    t.collisionFlag[5] = 1;
    EXPECT_EQ(removeFlaggedBodies(t, sys.s, false), 1);
    EXPECT_EQ(t.layout.bodyCount, before.bodyCount - 1);
    EXPECT_EQ(t.layout.lastMajor, 12);
    EXPECT_EQ(t.layout.lastMassive, 12);
    EXPECT_EQ(bodyName(t, 5), lastMajorName); // a major in the hole
    EXPECT_EQ(bodyName(t, 13), lastName);     // the minor body after the block
    EXPECT_EQ(t.layout.moonIndex, before.moonIndex);
    EXPECT_EQ(bodyName(t, t.layout.moonIndex), moonName);
    EXPECT_EQ(t.layout.earthIndex, before.earthIndex);
    for (int i = 0; i <= t.layout.lastMassive; ++i) EXPECT_GT(t.mass[i], 0) << i;
    for (int i = t.layout.lastMassive + 1; i <= t.layout.bodyCount; ++i)
        EXPECT_EQ(t.mass[i], 0) << i;
    // An ejection moved what is left to its barycentre.
    const std::array<long double, 4> p = momentum(t, sys.s);
    EXPECT_LT(testing::length({p[0], p[1], p[2]}) / p[3], 1e-18L);
    // And the integration goes on with the smaller table.
    for (int k = 0; k < 10; ++k)
        ASSERT_EQ(advanceNominalStep(t, sys.s, sys.model, sys.integrator).status,
                  IntegrateStatus::ok);
}

TEST(Conservation, PointMassSolarSystemOverAMillennium) {
    System sys(false);
    sys.s.options.extendedModel = false;
    const ConservationQuantities q0 = conservationQuantities(sys.t, sys.s, false);
    // The independent energy of the test systems (Moon pair from its
    // geocentric vector).
    const long double e0 = testing::totalEnergy(sys.t, sys.s);
    EXPECT_LT(std::fabs((q0.energy - e0) / e0), 1e-16L);
    const long years = kSanitized ? 20 : 1000;
    const long steps = static_cast<long>(years * 365.25L / 3.0L);
    long double worstE = 0, worstL = 0;
    for (long k = 0; k < steps; ++k) {
        ASSERT_EQ(advanceNominalStep(sys.t, sys.s, sys.model, sys.integrator).status,
                  IntegrateStatus::ok);
        if (k % 500 == 0 || k == steps - 1) {
            const ConservationQuantities q = conservationQuantities(sys.t, sys.s, false);
            worstE = std::max(worstE, std::fabs((q.energy - q0.energy) / q0.energy));
            Vector3 dl;
            for (int c = 0; c < 3; ++c) dl[c] = q.angularMomentum[c] - q0.angularMomentum[c];
            worstL = std::max(worstL, testing::length(dl) / q0.angularMomentumMagnitude());
        }
    }
    RecordProperty("relative_energy_drift", testing::scientific(worstE));
    RecordProperty("relative_angular_momentum_drift", testing::scientific(worstL));
    EXPECT_LT(worstE, 1e-14L);
    EXPECT_LT(worstL, 1e-14L);
}

} // namespace
} // namespace tarvo
