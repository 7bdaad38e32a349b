// Synthetic observations for the fit's tests: a Sun-only dynamical model
// (the Earth massless, so both orbits are exact two-body orbits) and
// geocentric right ascensions and declinations computed here from the
// two-body solution with the exact light time, independent of the
// integrator and of the fit's own element conversion.
#pragma once

#include "fitra/fit_dynamics.h"
#include "fitra/positions_file.h"
#include "tarvo/dynamics/physical_constants.h"

#include <cmath>
#include <random>

namespace fitra::testing {

inline constexpr long double kSunMass = 1989095.3240106L;                   // 10^24 kg
inline constexpr long double kMu = tarvo::gravitationalConstant * kSunMass; // Gm^3/day^2
inline constexpr long double kAuGm = 149.5978707L;
inline constexpr long double kPiL = 3.14159265358979323846264338327950288L;

struct TwoBodyOrbit {
    long double a, e, i, node, w, M0; // Gm, radians
    long double epoch;                // days from J2000
};

// Heliocentric state (Gm, Gm/day) of the orbit at t, in the frame its
// angles are referred to (here the J2000 equator).
inline void twoBodyState(const TwoBodyOrbit& o, long double t, Vector3& r, Vector3& v) {
    const long double n = std::sqrt(kMu / (o.a * o.a * o.a));
    const long double M = o.M0 + n * (t - o.epoch);
    long double E = M;
    for (int k = 0; k < 60; ++k) {
        const long double f = E - o.e * std::sin(E) - M;
        E -= f / (1 - o.e * std::cos(E));
        if (std::fabs(f) < 1e-19L) break;
    }
    const long double b = o.a * std::sqrt(1 - o.e * o.e);
    const long double Ed = n / (1 - o.e * std::cos(E));
    const long double x = o.a * (std::cos(E) - o.e), y = b * std::sin(E);
    const long double vx = -o.a * std::sin(E) * Ed, vy = b * std::cos(E) * Ed;
    const long double cw = std::cos(o.w), sw = std::sin(o.w), cn = std::cos(o.node),
                      sn = std::sin(o.node), ci = std::cos(o.i), si = std::sin(o.i);
    const long double P[3] = {cn * cw - sn * sw * ci, sn * cw + cn * sw * ci, sw * si};
    const long double Q[3] = {-cn * sw - sn * cw * ci, -sn * sw + cn * cw * ci, cw * si};
    for (int k = 0; k < 3; ++k) {
        r[k] = P[k] * x + Q[k] * y;
        v[k] = P[k] * vx + Q[k] * vy;
    }
}

inline TwoBodyOrbit earthOrbit(long double epoch) {
    return {kAuGm, 0.0167L, 23.44L * kPiL / 180, 0.0L, 1.796L, 6.24L, epoch};
}

// A fit's dynamics of the Sun and a massless Earth, Newtonian point masses.
inline FitDynamics sunOnlyDynamics(const FitraSettings& settings, long double epoch) {
    FitDynamics d;
    tarvo::createBodyTable(tarvo::minimumMaxBodies, d.table);
    tarvo::BodyTable& t = d.table;
    t.layout.bodyCount = 2;
    t.layout.earthIndex = 1;
    t.layout.moonIndex = t.maxBodies;
    t.layout.noMoon = true;
    t.layout.lastMajor = 1;
    t.layout.lastMassive = 1;
    t.mass[0] = kSunMass;
    tarvo::setBodyName(t, 0, "SUN");
    tarvo::setBodyName(t, 1, "EARTH");
    tarvo::setBodyName(t, 2, "FITTED");
    Vector3 r, v;
    twoBodyState(earthOrbit(epoch), epoch, r, v);
    t.posX[1] = r[0];
    t.posY[1] = r[1];
    t.posZ[1] = r[2];
    t.velX[1] = v[0];
    t.velY[1] = v[1];
    t.velZ[1] = v[2];
    applyIntegratorSettings(settings, d);
    d.state.options.extendedModel = false;
    d.state.dataSet = 3;
    d.state.derived = tarvo::deriveConstants(t);
    d.state.epoch = epoch;
    d.epoch = epoch;
    d.fittedIndex = 2;
    d.earthIndex = 1;
    return d;
}

// Geocentric astrometric RA/Dec (degrees) of the orbit at t: the body at
// t - τ with τ = |r(t - τ) - E(t)| / c solved exactly.
inline void geocentricAngles(const TwoBodyOrbit& body, long double t, long double& ra,
                             long double& dec) {
    Vector3 e, ev, r, v;
    twoBodyState(earthOrbit(body.epoch), t, e, ev);
    long double tau = 0;
    Vector3 rho{};
    for (int k = 0; k < 6; ++k) {
        twoBodyState(body, t - tau, r, v);
        for (int c = 0; c < 3; ++c) rho[c] = r[c] - e[c];
        tau = std::sqrt(rho[0] * rho[0] + rho[1] * rho[1] + rho[2] * rho[2]) / tarvo::speedOfLight;
    }
    ra = std::atan2(rho[1], rho[0]) * 180 / kPiL;
    if (ra < 0) ra += 360;
    dec = std::atan2(rho[2], std::hypot(rho[0], rho[1])) * 180 / kPiL;
}

// `count` observations spread over `years` from `t0`, two a night in runs,
// optionally with Gaussian noise of `sigmaArcsec` in both coordinates.
inline PositionsFile syntheticObservations(const TwoBodyOrbit& body, long double t0, int count,
                                           long double years, double sigmaArcsec,
                                           unsigned seed = 12345) {
    PositionsFile f;
    f.objectName = "SYNTH";
    f.siteMode = 0;
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (int k = 0; k < count; ++k) {
        Observation o;
        o.lineNo = 4 + k;
        // Nights cluster in seasons, as real observations do.
        const long double season = std::floor(k / 10.0L);
        const long double t = t0 + season * (years * 365.25L / std::ceil(count / 10.0L)) +
                              (k % 10) * 0.7L + (k % 2) * 0.03L;
        o.obsTime = t;
        long double ra, dec;
        geocentricAngles(body, t, ra, dec);
        if (sigmaArcsec > 0) {
            dec += gauss(rng) * sigmaArcsec / 3600.0;
            ra += gauss(rng) * sigmaArcsec / 3600.0 / std::cos(dec * kPiL / 180);
        }
        o.obsA = ra;
        o.obsB = dec;
        o.obsWeight = 1;
        f.observations.push_back(o);
    }
    return f;
}

} // namespace fitra::testing
