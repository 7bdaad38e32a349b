#include "fitra/kepler_state.h"

#include "tarvo/libraries/orbital_elements.h"

#include <cmath>

namespace fitra {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kDegree = kPi / 180.0L;
constexpr long double kAu = 149.5978707L; // Gm
constexpr long double kKmPerS = 0.0864L;  // Gm/day per km/s
constexpr int kRoundLimit = 300000;
constexpr int kWarnRounds = 299990;

long double gravityConstant(bool satellite) {
    return satellite ? tarvo::gaussianGravitationalConstant * tarvo::geocentricGravityFactor
                     : tarvo::gaussianGravitationalConstant;
}

} // namespace

long double solveEllipticAnomaly(long double e, long double M, bool& roundLimit) {
    long double E = M;
    int rounds = 0;
    for (; rounds < kRoundLimit; ++rounds) {
        E -= (E - e * std::sin(E) - M) / (1.0L - e * std::cos(E));
        const long double next = M + e * std::sin(E);
        const long double change = std::fabs(next - E);
        E = next;
        if (change < 2e-14L) break;
    }
    if (rounds >= kWarnRounds) roundLimit = true;
    return E;
}

long double solveHyperbolicAnomaly(long double e, long double M, bool& roundLimit) {
    long double F = std::asinh(M / e);
    int rounds = 0;
    for (; rounds < kRoundLimit; ++rounds) {
        const long double dF = (e * std::sinh(F) - F - M) / (e * std::cosh(F) - 1.0L);
        F -= dF;
        if (!(std::fabs(dF) >= 2e-16L * (1.0L + std::fabs(F)))) break;
    }
    if (rounds >= kWarnRounds) roundLimit = true;
    return F;
}

long double solveParabolicAnomaly(long double q, long double M, bool& roundLimit) {
    long double D = M;
    int rounds = 0;
    for (; rounds < kRoundLimit; ++rounds) {
        const long double dD = (q * D + D * D * D / 6.0L - M) / (q + D * D / 2.0L);
        D -= dD;
        if (!(std::fabs(dD) >= 2e-16L * (1.0L + std::fabs(D)))) break;
    }
    if (rounds >= kWarnRounds) roundLimit = true;
    return D;
}

KeplerState keplerToState(const KeplerElements& el, bool satellite) {
    KeplerState out;
    long double e = el.e;
    if (std::fabs(e - 1.0L) < 1e-9L) e = 1.0L;
    long double w = el.w;
    if (std::fabs(e) < 1e-10L) {
        e = 0;
        w = 0;
    }
    const long double M = el.M0 * kDegree;
    if (!(e >= 0) || !(el.a > 0) || !std::isfinite(static_cast<double>(M))) {
        out.ok = false;
        return out;
    }
    // Perifocal position (AU) and velocity for mu = 1.
    long double x = 0, y = 0, vx = 0, vy = 0;
    if (e >= 0.99999999L && e <= 1.00000001L) {
        const long double q = e == 1.0L ? el.a : el.a * std::fabs(1.0L - e);
        const long double D = solveParabolicAnomaly(q, M, out.roundLimit);
        const long double r = q + D * D / 2.0L;
        const long double s = std::sqrt(2.0L * q);
        x = q - D * D / 2.0L;
        y = s * D;
        vx = -D / r;
        vy = s / r;
    } else if (e > 1.0L) {
        const long double a = el.a;
        const long double F = solveHyperbolicAnomaly(e, M, out.roundLimit);
        const long double b = a * std::sqrt(e * e - 1.0L);
        const long double Fdot = std::pow(a, -1.5L) / (e * std::cosh(F) - 1.0L);
        x = a * (e - std::cosh(F));
        y = b * std::sinh(F);
        vx = -a * std::sinh(F) * Fdot;
        vy = b * std::cosh(F) * Fdot;
    } else {
        const long double a = el.a;
        const long double E = solveEllipticAnomaly(e, M, out.roundLimit);
        const long double b = a * std::sqrt(1.0L - e * e);
        const long double Edot = std::pow(a, -1.5L) / (1.0L - e * std::cos(E));
        x = a * (std::cos(E) - e);
        y = b * std::sin(E);
        vx = -a * std::sin(E) * Edot;
        vy = b * std::cos(E) * Edot;
    }
    const long double cw = std::cos(w * kDegree), sw = std::sin(w * kDegree);
    const long double cn = std::cos(el.node * kDegree), sn = std::sin(el.node * kDegree);
    const long double ci = std::cos(el.i * kDegree), si = std::sin(el.i * kDegree);
    // Rows of the rotation perifocal -> ecliptic (or equator).
    const long double px = cn * cw - sn * sw * ci, qx = -cn * sw - sn * cw * ci;
    const long double py = sn * cw + cn * sw * ci, qy = -sn * sw + cn * cw * ci;
    const long double pz = sw * si, qz = cw * si;
    std::array<long double, 3> r = {px * x + qx * y, py * x + qy * y, pz * x + qz * y};
    std::array<long double, 3> v = {px * vx + qx * vy, py * vx + qy * vy, pz * vx + qz * vy};
    if (!satellite) {
        const long double eps = tarvo::elementsObliquityArcsec * kPi / 648000.0L;
        const long double ce = std::cos(eps), se = std::sin(eps);
        r = {r[0], ce * r[1] - se * r[2], se * r[1] + ce * r[2]};
        v = {v[0], ce * v[1] - se * v[2], se * v[1] + ce * v[2]};
    }
    const long double speed = gravityConstant(satellite) * kAu / kKmPerS;
    for (int k = 0; k < 3; ++k) {
        out.position[k] = r[k] * kAu;
        out.velocity[k] = v[k] * speed;
    }
    out.ok = std::isfinite(static_cast<double>(out.position[0] + out.velocity[0]));
    return out;
}

KeplerElements stateToKepler(const std::array<long double, 3>& position,
                             const std::array<long double, 3>& velocity, long double massRatio,
                             bool satellite) {
    tarvo::ElementPlane plane;
    plane.equator = satellite;
    tarvo::CartesianState state{position, velocity};
    const tarvo::OsculatingElements o =
        tarvo::stateToElements(gravityConstant(satellite), massRatio, kAu, plane, state);
    KeplerElements el;
    el.e = o.eccentricity < 1e-9L ? 0 : o.eccentricity;
    el.i = o.inclination <= 9e-9L ? 0 : o.inclination;
    el.w = o.argumentOfPerihelion;
    el.node = o.ascendingNode;
    el.a = el.e == 1.0L ? o.perihelionDistance : std::fabs(o.semiMajorAxis);
    el.M0 = o.meanAnomaly;
    return el;
}

} // namespace fitra
