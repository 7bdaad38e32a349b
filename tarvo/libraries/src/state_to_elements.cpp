#include <cmath>

#include "orbit_rotation.h"
#include "tarvo/libraries/orbital_elements.h"

namespace tarvo {
namespace {

constexpr long double pi = 3.14159265358979323846264338327950288L;
constexpr long double toDegrees = 180 / pi;
constexpr long double kmPerSecondToGmPerDay = 0.0864L;
constexpr long double parabolicBand = 2e-9L;
constexpr long double circularLimit = 5e-10L;
constexpr long double equatorialLimit = 5e-8L;  // degrees

// Into [0, 360): a hair below zero would round to 360 itself, which is 0.
long double reducedDegrees(long double angle) {
    const long double reduced = angle - 360 * std::floor(angle / 360);
    return reduced >= 360 ? 0 : reduced;
}

}  // namespace

OsculatingElements stateToElements(long double gravityConstant, long double massRatio, long double astronomicalUnit,
                                   const ElementPlane& plane, const CartesianState& state)
{
    const long double k = gravityConstant;
    const long double mu = 1 + massRatio;

    // Canonical units: AU, and 1/k days for time, so the Sun's mu is 1.
    Vector3 r = state.position, v = state.velocity;
    if (!plane.equator) {
        r = equatorToEcliptic(r, plane.obliquity);
        v = equatorToEcliptic(v, plane.obliquity);
    }
    const long double velocityScale = kmPerSecondToGmPerDay / (astronomicalUnit * k);
    for (int i = 0; i < 3; ++i) {
        r[i] /= astronomicalUnit;
        v[i] *= velocityScale;
    }

    OsculatingElements el;
    const long double rr = norm(r);
    const long double v2 = dot(v, v);
    const long double rv = dot(r, v);
    Vector3 ev;
    for (int i = 0; i < 3; ++i) ev[i] = (v2 / mu - 1 / rr) * r[i] - (rv / mu) * v[i];
    long double e = norm(ev);
    if (std::fabs(1 - e) < parabolicBand) e = 1;
    else if (e < circularLimit) e = 0;
    const int kind = e < 1 ? 1 : e > 1 ? -1 : 0;  // ellipse, hyperbola, parabola
    el.eccentricity = e;

    const Vector3 h = cross(r, v);
    const long double hh = norm(h);
    const long double p = hh * hh / mu;
    el.perihelionDistance = p / (1 + e);

    // a = 1 / (2/r - v^2/mu). Near the perihelion of an elongated ellipse
    // the two terms nearly cancel; there q / (1 - e), its equal, keeps the
    // perihelion distance that the state fixes best.
    const long double energyTerm = 2 / rr - v2 / mu;
    long double a = energyTerm == 0 ? parabolicSemiMajorAxis : 1 / energyTerm;
    if (kind == 1 && e >= 0.5L && rr < a) a = el.perihelionDistance / (1 - e);
    el.semiMajorAxis = a;

    // Inclination and node; orbits in the reference plane, prograde or
    // retrograde, take the node at longitude 0.
    long double inclination = std::atan2(std::hypot(h[0], h[1]), h[2]) * toDegrees;
    Vector3 node{1, 0, 0};  // unit node vector
    bool inPlane = false;
    if (inclination <= equatorialLimit) {
        inclination = 0;
        inPlane = true;
    } else if (inclination >= 180 - equatorialLimit) {
        inclination = 180;
        inPlane = true;
    } else {
        const long double n = std::hypot(h[0], h[1]);
        node = {-h[1] / n, h[0] / n, 0};
    }
    el.inclination = inclination;
    el.ascendingNode = inPlane ? 0 : reducedDegrees(std::atan2(node[1], node[0]) * toDegrees);

    // In-plane unit vector 90 degrees ahead of the node, in the direction of motion.
    const Vector3 hUnit{h[0] / hh, h[1] / hh, h[2] / hh};
    const Vector3 ahead = cross(hUnit, node);

    long double cosNu = 0, sinNu = 0;
    if (e != 0) {
        const long double en = norm(ev);
        el.argumentOfPerihelion = reducedDegrees(std::atan2(dot(ev, ahead), dot(ev, node)) * toDegrees);
        cosNu = dot(ev, r) / (en * rr);
        sinNu = dot(hUnit, cross(ev, r)) / (en * rr);
    } else {
        el.argumentOfPerihelion = 0;
        cosNu = dot(r, node) / rr;
        sinNu = dot(r, ahead) / rr;
    }

    if (kind != 0) {
        // Eccentric anomaly as cosine C and sine S (cosh H and sinh H for a
        // hyperbola). Round orbits take them from the true anomaly; elongated
        // ones from C = (1 - r/a)/e and S = (r.v)/(e sqrt(mu |a|)), which avoid
        // sqrt(1 - e^2): near e = 1 that holds only the digits e leaves for 1 - e.
        long double C = 0, S = 0;
        if (e < 0.5L) {
            const long double b = std::fabs(a) * std::sqrt(std::fabs((1 - e) * (1 + e)));
            C = e + rr * cosNu / a;
            S = rr * sinNu / b;
        } else {
            C = (1 - rr / a) / e;
            S = rv / (e * std::sqrt(mu * std::fabs(a)));
        }
        if (kind == 1) {
            const long double E = std::atan2(S, C);
            el.meanAnomaly = reducedDegrees((E - e * S) * toDegrees);
        } else {
            el.meanAnomaly = (e * S - std::asinh(S)) * toDegrees;
        }
        el.meanMotion = toDegrees * k * std::sqrt(kind * mu / (a * a * a));
    } else {
        const long double D = rv / std::sqrt(mu);
        el.meanAnomaly = toDegrees * (el.perihelionDistance * D + D * D * D / 6);
        el.meanMotion = toDegrees * k * std::sqrt(mu);
    }
    return el;
}

}  // namespace tarvo
