// Elements of the page in every reference plane.  Oracles: the element-to-
// state conversion of the state files (a round trip), ERFA's vector
// separations for the inclinations on the equator and on rotated planes,
// and hand-worked special orbits.
#include "tarvo/reductions/page_elements.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using tarvo::CartesianState;
using tarvo::OrbitElements;
using tarvo::OsculatingElements;
constexpr long double kAu = 149.5978707L;
constexpr double kDeg = std::numbers::pi / 180.0;

CartesianState stateOf(const OrbitElements& el, long double massRatio = 0) {
    CartesianState s;
    tarvo::ElementConversion c;
    EXPECT_TRUE(tarvo::elementsToState(c, massRatio, 2451545.0L, el, s).ok);
    return s;
}

long double angleDifference(long double a, long double b) {
    return std::remainder(a - b, 360.0L);
}

TEST(PageElementsRoundTrip, EclipticElementsComeBackTo1e14) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    long double worst = 0;
    for (int n = 0; n < 2000; ++n) {
        OrbitElements el;
        el.eccentricity = n % 4 == 0 ? 0.9 * u(random) : n % 4 == 1 ? 0.001 + 0.1 * u(random) : n % 4 == 2 ? 0.3 : 0.97;
        el.inclination = 1.0 + 178.0 * u(random);
        el.argumentOfPerihelion = 360.0 * u(random);
        el.ascendingNode = 360.0 * u(random);
        el.semiMajorAxis = 0.3 + 40.0 * u(random);
        el.meanAnomaly = 360.0 * u(random);
        const auto back = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu,
                                              tarvo::eclipticElementFrame(), stateOf(el));
        const long double errors[] = {
            std::fabs(back.eccentricity - el.eccentricity),
            std::fabs(back.semiMajorAxis - el.semiMajorAxis) / el.semiMajorAxis,
            std::fabs(angleDifference(back.inclination, el.inclination)) * kDeg,
            std::fabs(angleDifference(back.ascendingNode, el.ascendingNode)) * kDeg,
            std::fabs(angleDifference(back.argumentOfPerihelion + back.meanAnomaly,
                                      el.argumentOfPerihelion + el.meanAnomaly)) * kDeg};
        for (long double e : errors) {
            worst = std::max(worst, e);
            EXPECT_LT(e, 1e-14L) << "orbit " << n;
        }
    }
    std::printf("elements round trip: worst %.3Lg\n", worst);
}

TEST(PageElementsPlanes, EquatorialInclinationIsTheAngleBetweenPoleAndAngularMomentum) {
    OrbitElements el{0.2L, 33.0L, 40.0L, 120.0L, 2.5L, 10.0L};
    const CartesianState s = stateOf(el);
    tarvo::ElementFrame frame = tarvo::eclipticElementFrame();
    frame.plane = tarvo::ReferencePlane::Equator;
    const auto onEquator = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, frame, s);
    double r[3], v[3], h[3], pole[3] = {0, 0, 1};
    for (int k = 0; k < 3; ++k) {
        r[k] = static_cast<double>(s.position[k]);
        v[k] = static_cast<double>(s.velocity[k]);
    }
    eraPxp(r, v, h);
    EXPECT_NEAR(static_cast<double>(onEquator.inclination), eraSepp(h, pole) / kDeg, 1e-11);
    // Shape and size do not depend on the plane.
    const auto onEcliptic = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu,
                                                tarvo::eclipticElementFrame(), s);
    EXPECT_NEAR(static_cast<double>(onEquator.eccentricity), static_cast<double>(onEcliptic.eccentricity), 1e-15);
    EXPECT_NEAR(static_cast<double>(onEquator.semiMajorAxis), static_cast<double>(onEcliptic.semiMajorAxis), 1e-14);
}

TEST(PageElementsPlanes, OrbitPlaneOfABodyHoldsItsOwnOrbitAtZeroInclination) {
    OrbitElements centre{0.05L, 12.0L, 70.0L, 200.0L, 5.2L, 30.0L};
    OrbitElements other{0.3L, 20.0L, 10.0L, 50.0L, 3.0L, 100.0L};
    const CartesianState c = stateOf(centre), o = stateOf(other);
    tarvo::ElementFrame frame = tarvo::eclipticElementFrame();
    frame.plane = tarvo::ReferencePlane::CentreOrbit;
    frame.centreOrbit = tarvo::orbitPlane(c.position, c.velocity, frame.cosObliquity, frame.sinObliquity);
    EXPECT_NEAR(std::acos(frame.centreOrbit.cosInclination) / kDeg, 12.0, 1e-12);
    const auto self = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, frame, c);
    EXPECT_NEAR(static_cast<double>(self.inclination), 0.0, 1e-10);
    // The other orbit's inclination on that plane is the angle between the
    // two angular momenta.
    double hc[3], ho[3], rc[3], vc[3], ro[3], vo[3];
    for (int k = 0; k < 3; ++k) {
        rc[k] = static_cast<double>(c.position[k]);
        vc[k] = static_cast<double>(c.velocity[k]);
        ro[k] = static_cast<double>(o.position[k]);
        vo[k] = static_cast<double>(o.velocity[k]);
    }
    eraPxp(rc, vc, hc);
    eraPxp(ro, vo, ho);
    const auto seen = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, frame, o);
    EXPECT_NEAR(static_cast<double>(seen.inclination), eraSepp(hc, ho) / kDeg, 1e-10);
    EXPECT_NEAR(static_cast<double>(seen.eccentricity), 0.3, 1e-14);
}

TEST(PageElementsPlanes, MeanPlaneIsNormalToTheTotalAngularMomentum) {
    std::vector<long double> x, y, z, vx, vy, vz, m;
    const OrbitElements bodies[] = {{0.0L, 0.0L, 0.0L, 0.0L, 1e-9L, 0.0L},
                                    {0.05L, 1.3L, 273.0L, 100.0L, 5.2L, 20.0L},
                                    {0.06L, 2.5L, 339.0L, 113.0L, 9.5L, 317.0L}};
    const long double masses[] = {0.0L, 1898.0L, 568.0L};
    for (int j = 0; j < 3; ++j) {
        const CartesianState s = j == 0 ? CartesianState{} : stateOf(bodies[j]);
        x.push_back(s.position[0]); y.push_back(s.position[1]); z.push_back(s.position[2]);
        vx.push_back(s.velocity[0]); vy.push_back(s.velocity[1]); vz.push_back(s.velocity[2]);
        m.push_back(masses[j]);
    }
    tarvo::ElementFrame frame = tarvo::eclipticElementFrame();
    frame.plane = tarvo::ReferencePlane::MeanPlane;
    frame.meanPlane = tarvo::invariablePlane({x, y, z, vx, vy, vz, m}, 2, -1, -1, frame.cosObliquity, frame.sinObliquity);
    // In the mean-plane frame the total angular momentum has no x or y part.
    long double total[3] = {0, 0, 0};
    for (int j = 1; j < 3; ++j) {
        long double r[3] = {x[j], y[j], z[j]}, v[3] = {vx[j], vy[j], vz[j]};
        for (auto* vec : {r, v}) {
            const long double yy = vec[1], zz = vec[2];
            vec[1] = yy * frame.cosObliquity + zz * frame.sinObliquity;
            vec[2] = zz * frame.cosObliquity - yy * frame.sinObliquity;
            tarvo::toPlaneFrame(vec[0], vec[1], vec[2], frame.meanPlane);
        }
        total[0] += m[j] * (r[1] * v[2] - r[2] * v[1]);
        total[1] += m[j] * (r[2] * v[0] - r[0] * v[2]);
        total[2] += m[j] * (r[0] * v[1] - r[1] * v[0]);
    }
    EXPECT_LT(std::hypot(static_cast<double>(total[0]), static_cast<double>(total[1])) / static_cast<double>(total[2]), 1e-15);
}

TEST(PageElementsPlanes, PlaneOnTheEclipticHasNodeZeroNotADivisionByZero) {
    const auto p = tarvo::planeOfAngularMomentum({0.0L, 0.0L, 5.0L}, 1.0, 0.0, 1);
    EXPECT_EQ(p.sinInclination, 0.0);
    EXPECT_EQ(p.cosNode, 1.0);
    EXPECT_EQ(p.sinNode, 0.0);
    double x = 1, y = 2, z = 3;
    tarvo::toPlaneFrame(x, y, z, p);
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(y, 2.0);
    EXPECT_DOUBLE_EQ(z, 3.0);
    const auto back = tarvo::planeOfAngularMomentum({0.0L, 0.0L, 5.0L}, 1.0, 0.0, -1);
    EXPECT_EQ(back.cosInclination, -1.0);
}

TEST(PageElementsSpecialOrbits, CircularEquatorialOrbitGivesTheTrueLongitudeAsM) {
    // Circle of 1 AU in the ecliptic at longitude 30°.
    const long double v = tarvo::gaussianGravitationalConstant * kAu / 0.0864L; // km/s at 1 AU
    tarvo::ElementFrame frame = tarvo::eclipticElementFrame();
    frame.plane = tarvo::ReferencePlane::Equator; // states given directly in the plane
    CartesianState s{{kAu * std::cos(30 * kDeg), kAu * std::sin(30 * kDeg), 0}, {-v * std::sin(30 * kDeg), v * std::cos(30 * kDeg), 0}};
    const auto e = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, frame, s);
    EXPECT_EQ(e.eccentricity, 0.0L);
    EXPECT_EQ(e.inclination, 0.0L);
    EXPECT_EQ(e.argumentOfPerihelion, 0.0L);
    EXPECT_EQ(e.ascendingNode, 0.0L);
    EXPECT_NEAR(static_cast<double>(e.meanAnomaly), 30.0, 1e-12);
}

TEST(PageElementsSpecialOrbits, AphelionHasMeanAnomaly180AndDerivedQuantities) {
    OrbitElements el{0.4L, 10.0L, 20.0L, 30.0L, 2.0L, 180.0L};
    const auto e = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, tarvo::eclipticElementFrame(), stateOf(el));
    EXPECT_NEAR(static_cast<double>(e.meanAnomaly), 180.0, 1e-11);
    const long double period = 360.0L / e.meanMotion;
    EXPECT_NEAR(static_cast<double>(tarvo::orbitalPeriodDays(e)), static_cast<double>(period), 1e-9);
    EXPECT_NEAR(static_cast<double>(period), 365.25 * std::pow(2.0, 1.5) * 365.2568983 / 365.25, 1e-3);
    // Half a period from perihelion (M at 180 is not shifted below 180).
    EXPECT_NEAR(std::fabs(static_cast<double>(tarvo::timeSincePerihelion(e))), static_cast<double>(period / 2), 1e-6);
    EXPECT_NEAR(static_cast<double>(tarvo::perihelionLongitude(e)), 50.0, 1e-10);
    const OsculatingElements jupiterLike{0, 0, 0, 0, 0, 0.083, 5.202L, 5.202L};
    EXPECT_NEAR(static_cast<double>(tarvo::tisserandParameter(jupiterLike)), 3.0, 1e-15);
    OsculatingElements hyperbola = jupiterLike;
    hyperbola.semiMajorAxis = -3.0L;
    hyperbola.eccentricity = 1.5L;
    EXPECT_EQ(tarvo::orbitalPeriodDays(hyperbola), 0.0L);
}

TEST(PageElementsSpecialOrbits, NearParabolaIsTreatedAsAParabola) {
    // Perihelion at 1 AU with the parabolic speed times (1 - 5e-10).
    const long double vp = std::sqrt(2.0L) * tarvo::gaussianGravitationalConstant * kAu / 0.0864L;
    tarvo::ElementFrame frame = tarvo::eclipticElementFrame();
    frame.plane = tarvo::ReferencePlane::Equator;
    CartesianState s{{kAu, 0, 0}, {0, vp * std::sqrt(1.0L - 1e-9L), 0}};
    const auto e = tarvo::pageElements(tarvo::gaussianGravitationalConstant, 0, kAu, frame, s);
    EXPECT_EQ(e.eccentricity, 1.0L);
    EXPECT_EQ(tarvo::orbitalPeriodDays(e), 0.0L);
    EXPECT_NEAR(static_cast<double>(e.meanAnomaly), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.meanMotion), static_cast<double>(tarvo::gaussianGravitationalConstant) / kDeg, 1e-12);
}

} // namespace
