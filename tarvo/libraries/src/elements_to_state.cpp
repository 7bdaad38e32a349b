#include <cmath>
#include <sstream>

#include "kepler_equations.h"
#include "orbit_rotation.h"
#include "tarvo/libraries/orbital_elements.h"

namespace tarvo {
namespace {

constexpr long double pi = 3.14159265358979323846264338327950288L;
constexpr long double degree = pi / 180;
constexpr long double kmPerSecondToGmPerDay = 0.0864L;
constexpr long double parabolicBand = 1e-8L;       // |1 - e| below this is a parabola
constexpr long double ellipticLimit = 0.999999995L; // below: ellipse; above 1.000000005: hyperbola

bool allFinite(const OrbitElements& x, long double massRatio, long double jd)
{
    for (long double v : {x.eccentricity, x.inclination, x.argumentOfPerihelion, x.ascendingNode, x.semiMajorAxis,
                          x.meanAnomaly, x.perihelionDistance, x.perihelionTime, massRatio, jd})
        if (!std::isfinite(v)) return false;
    return true;
}

ConversionResult refused(const std::string& why)
{
    ConversionResult result;
    result.message = why;
    return result;
}

std::string number(long double value)
{
    std::ostringstream text;
    text.precision(10);
    text << static_cast<double>(value);
    return text.str();
}

}  // namespace

long double elementGravityConstant(ElementMode mode, long double sunMass)
{
    switch (mode) {
    case ElementMode::FullFile: return gaussianGravitationalConstant * std::sqrt(sunMass / nominalSunMass);
    case ElementMode::Satellite: return gaussianGravitationalConstant * geocentricGravityFactor;
    default: return gaussianGravitationalConstant;
    }
}

ConversionResult elementsToState(const ElementConversion& conversion, long double massRatio, long double jd,
                                 const OrbitElements& elements, CartesianState& state)
{
    if (!allFinite(elements, massRatio, jd) || !std::isfinite(conversion.gravityConstant))
        return refused("Elements with a value that is not a number");
    const long double k = conversion.gravityConstant;
    const long double f = 1 + massRatio;  // the body's mass adds to the central attraction
    if (!(k > 0) || !(f > 0)) return refused("Elements with a gravitational constant or mass ratio out of range");

    long double e = elements.eccentricity;
    long double a = elements.semiMajorAxis;
    long double q = elements.perihelionDistance;
    long double omega = elements.argumentOfPerihelion;
    if (e < 0) return refused("Eccentricity " + number(e) + " is negative");
    if (std::fabs(1 - e) < parabolicBand) e = 1;
    if (e == 0) omega = 0;
    if (e != 1) {
        if (a == 0) {
            if (q <= 0) return refused("Elements without a size: a = 0 and q = " + number(q));
            a = q / (1 - e);
        } else {
            if (e < 1 && a < 0)
                return refused("An ellipse (e = " + number(e) + ") needs a > 0, not a = " + number(a));
            if (e > 1 && a > 0)
                return refused("A hyperbola (e = " + number(e) + ") needs a < 0, not a = " + number(a));
            q = a * (1 - e);
        }
    } else if (!(q > 0)) {
        return refused("A parabola needs q > 0, not q = " + number(q));
    }

    // Mean anomaly at the epoch: from T when M is 0 and T is given.
    const long double n = e != 1 ? k * std::sqrt(f) / std::pow(std::fabs(a), 1.5L) : k * std::sqrt(f);
    long double M = elements.meanAnomaly * degree;
    if (elements.meanAnomaly == 0 && elements.perihelionTime != 0) M = (jd - elements.perihelionTime) * n;
    // Lengths are now in AU and times in units of 1/k days (mu = f).

    ConversionResult result;
    result.ok = true;
    long double xp = 0, yp = 0, vxp = 0, vyp = 0;  // orbital plane, x towards perihelion
    if (e < ellipticLimit) {
        const AnomalySolution E = solveEllipticKepler(e, M);
        result.iterationLimit = !E.converged;
        const long double c = std::cos(E.anomaly), s = std::sin(E.anomaly);
        const long double r = a * (1 - e * c);
        const long double w = std::sqrt(f / a) / r;
        const long double root = std::sqrt((1 - e) * (1 + e));
        xp = a * (c - e);
        yp = a * root * s;
        vxp = -a * w * s;
        vyp = a * root * w * c;
    } else if (e == 1) {
        // Barker's equation in canonical units: s^3/6 + q s = sqrt(f) t.
        const AnomalySolution S = solveBarker(q, M);
        result.iterationLimit = !S.converged;
        // Said when fewer than 10 of the 50000 rounds were left.
        if (S.rounds > 49990) result.message = "Too many Iterations ! ";
        const long double s = S.anomaly;
        const long double r = q + s * s / 2;
        const long double rootF = std::sqrt(f);
        xp = q - s * s / 2;
        yp = std::sqrt(2 * q) * s;
        vxp = -s * rootF / r;
        vyp = std::sqrt(2 * q) * rootF / r;
    } else {
        const AnomalySolution H = solveHyperbolicKepler(e, M);
        result.iterationLimit = !H.converged;
        const long double ch = std::cosh(H.anomaly), sh = std::sinh(H.anomaly);
        const long double r = -a * (e * ch - 1);
        const long double w = std::sqrt(-f / a) / r;
        const long double root = std::sqrt((e - 1) * (e + 1));
        xp = a * (ch - e);
        yp = -a * root * sh;
        vxp = a * w * sh;
        vyp = -a * root * w * ch;
    }

    const Rotation3 toEcliptic =
        perifocalToEcliptic(elements.inclination * degree, omega * degree, elements.ascendingNode * degree);
    std::array<long double, 3> r = rotate(toEcliptic, {xp, yp, 0});
    std::array<long double, 3> v = rotate(toEcliptic, {vxp, vyp, 0});
    if (conversion.eclipticToJ2000Ecliptic) {
        r = rotate(*conversion.eclipticToJ2000Ecliptic, r);
        v = rotate(*conversion.eclipticToJ2000Ecliptic, v);
    }
    const long double obliquity = elementsObliquityArcsec * pi / 648000;
    r = eclipticToEquator(r, obliquity);
    v = eclipticToEquator(v, obliquity);

    const long double au = conversion.astronomicalUnit;
    const long double velocityScale = k * au / kmPerSecondToGmPerDay;
    for (int i = 0; i < 3; ++i) {
        state.position[i] = r[i] * au;
        state.velocity[i] = v[i] * velocityScale;
    }
    return result;
}

}  // namespace tarvo
