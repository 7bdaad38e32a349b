// Elements <-> state conversions.
// Oracles: round trips through both conversions; two-body invariants that
// hold whatever the code does (vis-viva, angular momentum, perihelion and
// aphelion distances, the circular speed k AU per day); rotations of the
// node that must equal rotations of the state.
#include <gtest/gtest.h>

#include <cmath>

#include "tarvo/libraries/orbital_elements.h"

namespace tarvo {
namespace {

constexpr long double pi = 3.14159265358979323846264338327950288L;
constexpr long double au = 149.5978707L;          // Gm
constexpr long double kmsToGmPerDay = 0.0864L;
constexpr long double jd = 2460000.5L;

using Vector = std::array<long double, 3>;

long double length(const Vector& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

long double difference(const Vector& a, const Vector& b)
{
    return length({a[0] - b[0], a[1] - b[1], a[2] - b[2]});
}

// The state in AU and AU/day, J2000 ecliptic (undoing the turn to the equator).
void toEclipticAuPerDay(const CartesianState& s, Vector& r, Vector& v)
{
    const long double eps = elementsObliquityArcsec * pi / 648000;
    const long double c = std::cos(eps), sn = std::sin(eps);
    for (int i = 0; i < 3; ++i) {
        r[i] = s.position[i] / au;
        v[i] = s.velocity[i] * kmsToGmPerDay / au;
    }
    r = {r[0], r[1] * c + r[2] * sn, r[2] * c - r[1] * sn};
    v = {v[0], v[1] * c + v[2] * sn, v[2] * c - v[1] * sn};
}

OrbitElements sampleElements(long double e, long double i, long double omega, long double node, long double M)
{
    OrbitElements el;
    el.eccentricity = e;
    el.inclination = i;
    el.argumentOfPerihelion = omega;
    el.ascendingNode = node;
    el.meanAnomaly = M;
    if (e == 1) el.perihelionDistance = 0.8L;
    else el.semiMajorAxis = e < 1 ? 2.5L : -2.5L;
    return el;
}

CartesianState convert(const OrbitElements& el, long double massRatio = 0, const ElementConversion& c = {})
{
    CartesianState s;
    const ConversionResult result = elementsToState(c, massRatio, jd, el, s);
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_FALSE(result.iterationLimit);
    return s;
}

OrbitElements fromOsculating(const OsculatingElements& o, long double e)
{
    OrbitElements el;
    el.eccentricity = o.eccentricity;
    el.inclination = o.inclination;
    el.argumentOfPerihelion = o.argumentOfPerihelion;
    el.ascendingNode = o.ascendingNode;
    el.meanAnomaly = o.meanAnomaly;
    el.perihelionDistance = o.perihelionDistance;
    el.semiMajorAxis = e == 1 ? 0 : o.semiMajorAxis;
    return el;
}

const long double eccentricities[] = {0.0L, 1e-9L, 0.2L, 0.99999L, 1.0L, 1.5L, 10.0L};
const long double inclinations[] = {0.0L, 90.0L, 180.0L};

// A long double e holds 1 - e only to ulp(e) / (1 - e): 1e-14 for
// e = 0.99999. No element set can carry the state better than that, so near
// e = 1 the round trips are held to that bound instead of 1e-15.
long double representable(long double e)
{
    const long double ulp = 1.0842021724855044e-19L;  // of numbers in [0.5, 1)
    return e == 1 ? 0 : ulp / (2 * std::fabs(1 - e));
}

TEST(ElementRoundTrip, StateToElementsToStateKeepsEveryDigit)
{
    const long double k = gaussianGravitationalConstant;
    for (long double e : eccentricities) {
        for (long double i : inclinations) {
            for (long double M : {0.0L, 37.5L, 181.0L, 300.0L}) {
                for (long double massRatio : {0.0L, 1e-3L}) {
                    if (e > 1 && M > 180) M = -M / 10;
                    const OrbitElements start = sampleElements(e, i, 123.4L, 56.7L, M == 0 && e == 0 ? 0 : M);
                    const CartesianState s1 = convert(start, massRatio);
                    const OsculatingElements o = stateToElements(k, massRatio, au, ElementPlane{}, s1);
                    const CartesianState s2 = convert(fromOsculating(o, e), massRatio);
                    const long double dr = difference(s1.position, s2.position) / length(s1.position);
                    const long double dv = difference(s1.velocity, s2.velocity) / length(s1.velocity);
                    const long double bound = 1e-15L + representable(e);
                    EXPECT_LT(dr, bound) << "e=" << double(e) << " i=" << double(i) << " M=" << double(M);
                    EXPECT_LT(dv, bound) << "e=" << double(e) << " i=" << double(i) << " M=" << double(M);
                    // The orbit's shape comes back as it went in.
                    EXPECT_EQ(o.eccentricity == 1, e == 1);
                    EXPECT_NEAR(double(o.eccentricity), double(e), 1e-15 * double(e) + 1e-17);
                    EXPECT_NEAR(double(o.inclination), double(i), 1e-13);
                    if (e != 1) {
                        EXPECT_NEAR(double(o.semiMajorAxis / start.semiMajorAxis), 1.0,
                                    double(1e-15L + 16 * representable(e)));
                    } else {
                        EXPECT_NEAR(double(o.perihelionDistance / start.perihelionDistance), 1.0, 1e-15);
                    }
                }
            }
        }
    }
}

TEST(ElementRoundTrip, WellDefinedAnglesComeBack)
{
    // Node, perihelion and mean anomaly are defined when 0 < e and 0 < i < 180.
    for (long double e : {0.2L, 0.99999L, 1.0L, 1.5L, 10.0L}) {
        for (long double i : {0.5L, 45.0L, 90.0L, 179.0L}) {
            const long double M = e < 1 ? 250.0L : 20.0L;
            const OrbitElements start = sampleElements(e, i, 310.25L, 12.5L, M);
            const OsculatingElements o =
                stateToElements(gaussianGravitationalConstant, 0, au, ElementPlane{}, convert(start));
            EXPECT_NEAR(double(o.ascendingNode), 12.5, 1e-11) << double(e) << " " << double(i);
            EXPECT_NEAR(double(o.argumentOfPerihelion), 310.25, 1e-11) << double(e) << " " << double(i);
            EXPECT_NEAR(double(o.meanAnomaly), double(M), 1e-10 * double(M)) << double(e) << " " << double(i);
        }
    }
}

TEST(TwoBodyInvariants, VisVivaAndAngularMomentumHold)
{
    // v^2 = mu (2/r - 1/a); |r x v| = sqrt(mu p), p = a (1 - e^2) or 2q;
    // mu = k^2 (1 + m) in AU^3/day^2.
    for (long double massRatio : {0.0L, 0.001L}) {
        const long double mu = gaussianGravitationalConstant * gaussianGravitationalConstant * (1 + massRatio);
        for (long double e : eccentricities) {
            for (long double M : {0.0L, 10.0L, 95.0L}) {
                const OrbitElements el = sampleElements(e, 33.0L, 80.0L, 200.0L, M);
                Vector r, v;
                toEclipticAuPerDay(convert(el, massRatio), r, v);
                const long double rr = length(r), v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
                const long double h = length({r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2],
                                              r[0] * v[1] - r[1] * v[0]});
                if (e != 1) {
                    const long double a = el.semiMajorAxis;
                    EXPECT_NEAR(double(v2 / (mu * (2 / rr - 1 / a))), 1.0, 1e-16) << double(e);
                    EXPECT_NEAR(double(h / std::sqrt(mu * a * (1 - e) * (1 + e))), 1.0, 1e-16) << double(e);
                } else {
                    EXPECT_NEAR(double(v2 / (mu * 2 / rr)), 1.0, 1e-16);
                    EXPECT_NEAR(double(h / std::sqrt(mu * 2 * el.perihelionDistance)), 1.0, 1e-16);
                }
                // The orbit's pole: h_z / |h| = cos i.
                const long double hz = r[0] * v[1] - r[1] * v[0];
                EXPECT_NEAR(double(hz / h), std::cos(33.0 * M_PI / 180), 1e-16);
            }
        }
    }
}

TEST(TwoBodyInvariants, ApsidesAndCircularSpeed)
{
    // At M = 0 the body is at q, at M = 180 (ellipse) at a (1 + e).
    for (long double e : {0.0L, 0.2L, 0.99999L, 1.0L, 1.5L, 10.0L}) {
        OrbitElements el = sampleElements(e, 20.0L, 30.0L, 40.0L, 0.0L);
        const long double q = e == 1 ? el.perihelionDistance : el.semiMajorAxis * (1 - e);
        Vector r, v;
        toEclipticAuPerDay(convert(el), r, v);
        EXPECT_NEAR(double(length(r) / q), 1.0, 1e-17) << double(e);
        if (e < 1) {
            el.meanAnomaly = 180;
            toEclipticAuPerDay(convert(el), r, v);
            EXPECT_NEAR(double(length(r) / (el.semiMajorAxis * (1 + e))), 1.0, 1e-17) << double(e);
        }
    }
    // A circular orbit of 1 AU moves at k AU per day: 29.7846918344 km/s.
    OrbitElements circle = sampleElements(0, 0, 0, 0, 77.0L);
    circle.semiMajorAxis = 1;
    const CartesianState s = convert(circle);
    const long double expected = gaussianGravitationalConstant * au * 1e6L / 86400;
    EXPECT_NEAR(double(length(s.velocity)), double(expected), 1e-14);
    EXPECT_NEAR(double(expected), 29.7846918344, 1e-9);
}

TEST(ElementConventions, CircularEquatorialOrbitGivesTrueLongitude)
{
    OrbitElements el = sampleElements(0, 0, 0, 0, 123.0L);
    const OsculatingElements o = stateToElements(gaussianGravitationalConstant, 0, au, ElementPlane{}, convert(el));
    EXPECT_EQ(o.eccentricity, 0);
    EXPECT_EQ(o.argumentOfPerihelion, 0);
    EXPECT_EQ(o.ascendingNode, 0);
    EXPECT_EQ(o.inclination, 0);
    EXPECT_NEAR(double(o.meanAnomaly), 123.0, 1e-12);
}

TEST(ElementConventions, AphelionGivesMeanAnomaly180)
{
    const OrbitElements el = sampleElements(0.3L, 10, 20, 30, 180.0L);
    const OsculatingElements o = stateToElements(gaussianGravitationalConstant, 0, au, ElementPlane{}, convert(el));
    EXPECT_NEAR(double(o.meanAnomaly), 180.0, 1e-12);
}

TEST(ElementConventions, NearlyParabolicOrbitIsTreatedAsParabola)
{
    // e = 0.9999999990: M = (180/pi)(qD + D^3/6), n = (180/pi) k sqrt(mu).
    OrbitElements el = sampleElements(0.999999999L, 10, 20, 30, 0);
    el.semiMajorAxis = 0;
    el.perihelionDistance = 0.5L;
    el.perihelionTime = jd - 40;
    CartesianState s;
    const ConversionResult result = elementsToState({}, 0, jd, el, s);
    ASSERT_TRUE(result.ok) << result.message;
    const OsculatingElements o = stateToElements(gaussianGravitationalConstant, 0, au, ElementPlane{}, s);
    EXPECT_EQ(o.eccentricity, 1);
    EXPECT_NEAR(double(o.meanMotion), double(180 / pi * gaussianGravitationalConstant), 1e-18);
    EXPECT_NEAR(double(o.meanAnomaly / o.meanMotion), 40.0, 1e-11);  // days since perihelion
}

TEST(ElementConventions, ParabolaWrittenWithPerihelionTimeReadsBack)
{
    // FINAL.TVE writes a parabola as a = 0, M = 0, q and T = JD - M/n.
    const OrbitElements el = sampleElements(1, 70, 200, 300, 25.0L);
    const CartesianState s1 = convert(el);
    const OsculatingElements o = stateToElements(gaussianGravitationalConstant, 0, au, ElementPlane{}, s1);
    OrbitElements written = fromOsculating(o, 1);
    written.semiMajorAxis = 0;
    written.meanAnomaly = 0;
    written.perihelionTime = jd - o.meanAnomaly / o.meanMotion;
    const CartesianState s2 = convert(written);
    // T as a Julian date is resolved to 1.3e-13 day, 3e-15 of this motion.
    EXPECT_LT(double(difference(s1.position, s2.position) / length(s1.position)), 5e-15);
    EXPECT_LT(double(difference(s1.velocity, s2.velocity) / length(s1.velocity)), 5e-15);
}

TEST(ElementConventions, PerihelionTimeGivesThePhaseWhenMIsZero)
{
    // M = 0 with T: M = n (JD - T), n = k sqrt(1 + m) / a^1.5.
    for (long double massRatio : {0.0L, 1e-3L}) {
        OrbitElements byTime = sampleElements(0.4L, 15, 25, 35, 0);
        byTime.perihelionTime = jd - 100;
        OrbitElements byAnomaly = byTime;
        const long double n = gaussianGravitationalConstant * std::sqrt(1 + massRatio) /
                              std::pow(byTime.semiMajorAxis, 1.5L) * 180 / pi;
        byAnomaly.meanAnomaly = 100 * n;
        const CartesianState a = convert(byTime, massRatio), b = convert(byAnomaly, massRatio);
        EXPECT_LT(double(difference(a.position, b.position) / length(a.position)), 1e-15);
    }
}

TEST(ElementConventions, FullFileAndSatelliteModesScaleTheGravitationalConstant)
{
    EXPECT_EQ(elementGravityConstant(ElementMode::MinorBody), gaussianGravitationalConstant);
    EXPECT_NEAR(double(elementGravityConstant(ElementMode::FullFile, nominalSunMass * 1.21L)),
                double(gaussianGravitationalConstant * 1.1L), 1e-18);
    EXPECT_EQ(elementGravityConstant(ElementMode::Satellite), gaussianGravitationalConstant * geocentricGravityFactor);
}

TEST(EclipticOfEpoch, RotationOfTheEclipticEqualsShiftOfTheNode)
{
    // Elements on an ecliptic turned by theta about the pole are the
    // elements with the node advanced by theta.
    const long double theta = 0.3L;
    const Rotation3 turn{{{std::cos(theta), -std::sin(theta), 0}, {std::sin(theta), std::cos(theta), 0}, {0, 0, 1}}};
    ElementConversion rotated;
    rotated.eclipticToJ2000Ecliptic = &turn;
    const OrbitElements el = sampleElements(0.3L, 25, 50, 75, 100);
    OrbitElements shifted = el;
    shifted.ascendingNode += theta * 180 / pi;
    const CartesianState a = convert(el, 0, rotated), b = convert(shifted);
    EXPECT_LT(double(difference(a.position, b.position) / length(a.position)), 1e-17);
    EXPECT_LT(double(difference(a.velocity, b.velocity) / length(a.velocity)), 1e-17);
}

TEST(RefusedElements, ImpossibleOrbitsAreRefusedWithAMessage)
{
    struct Case {
        long double e, a, q;
        const char* words;
    };
    const Case cases[] = {
        {1.5L, 2.0L, 0, "hyperbola"},   {0.5L, -2.0L, 0, "ellipse"},  {-0.1L, 1.0L, 0, "negative"},
        {0.5L, 0, 0, "size"},           {1.0L, 0, -1, "parabola"},     {NAN, 1.0L, 0, "not a number"},
        {0.5L, INFINITY, 0, "not a number"},
    };
    for (const Case& c : cases) {
        OrbitElements el = sampleElements(0.5L, 10, 10, 10, 10);
        el.eccentricity = c.e;
        el.semiMajorAxis = c.a;
        el.perihelionDistance = c.q;
        CartesianState s;
        s.position = {1, 2, 3};
        const ConversionResult result = elementsToState({}, 0, jd, el, s);
        EXPECT_FALSE(result.ok) << c.words;
        std::string lower = result.message;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_NE(lower.find(c.words), std::string::npos) << result.message;
        EXPECT_EQ(s.position[0], 1);  // the state is left as it was
    }
}

TEST(RefusedElements, HyperbolaFarFromPerihelionStaysFinite)
{
    // A mean anomaly of 10^7 degrees: the old start H = M would overflow.
    OrbitElements el = sampleElements(1.2L, 10, 20, 30, 1e7L);
    const CartesianState s = convert(el);
    Vector r, v;
    toEclipticAuPerDay(s, r, v);
    ASSERT_TRUE(std::isfinite(double(length(r))));
    const long double mu = gaussianGravitationalConstant * gaussianGravitationalConstant;
    const long double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    EXPECT_NEAR(double(v2 / (mu * (2 / length(r) - 1 / el.semiMajorAxis))), 1.0, 1e-15);
}

}  // namespace
}  // namespace tarvo
