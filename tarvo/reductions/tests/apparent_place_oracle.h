// Rigorous apparent places from JPL DE405 and ERFA, the oracle that the
// first-order reductions of the run loop are measured against.
//
// Geocentric apparent direction of a body at a TT instant (TDB taken equal
// to TT): the light-time equation iterated to 1e-15 day on the barycentric
// ephemeris, then ERFA's relativistic aberration (eraAb) with the Earth's
// barycentric velocity; no light deflection, no precession or nutation (the
// result is in the ICRF/J2000 axes of the ephemeris).
#pragma once

#include "jpl/ephemeris.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tarvo::testing {

inline constexpr const char* kDe405Directory = "/usr/share/casacore/data/ephemerides/DE405";

// The DE405 table of the casacore data package, or nullptr (message says why).
inline std::unique_ptr<jpl::Ephemeris> openDe405(std::string& message) {
    if (!std::filesystem::exists(kDe405Directory)) {
        message = std::string("JPL DE405 not installed at ") + kDe405Directory + " (casacore-data-jpl-de405)";
        return nullptr;
    }
    return jpl::Ephemeris::open(kDe405Directory, message);
}

struct EphemerisState {
    std::array<double, 3> position{}; // AU
    std::array<double, 3> velocity{}; // AU/day
};

inline std::optional<EphemerisState> barycentric(jpl::Ephemeris& e, jpl::Body body, long double jd) {
    jpl::StateVector s;
    std::string message;
    if (!e.state(body, jpl::Body::SolarSystemBarycentre, jd, s, message)) return std::nullopt;
    EphemerisState out;
    for (int k = 0; k < 3; ++k) {
        out.position[k] = static_cast<double>(s.position[k]);
        out.velocity[k] = static_cast<double>(s.velocity[k]);
    }
    return out;
}

// Apparent geocentric unit vector of `body` at Julian date `jd` (TT = TDB).
inline std::optional<std::array<double, 3>> rigorousApparentDirection(jpl::Ephemeris& e, jpl::Body body,
                                                                      long double jd) {
    const auto earth = barycentric(e, jpl::Body::Earth, jd);
    const auto sun = barycentric(e, jpl::Body::Sun, jd);
    if (!earth || !sun) return std::nullopt;
    const double cAuPerDay = ERFA_CMPS * ERFA_DAYSEC / (static_cast<double>(e.header().auKm) * 1000.0);
    double tau = 0.0;
    std::array<double, 3> p{};
    for (int pass = 0; pass < 10; ++pass) {
        const auto b = barycentric(e, body, jd - static_cast<long double>(tau));
        if (!b) return std::nullopt;
        for (int k = 0; k < 3; ++k) p[k] = b->position[k] - earth->position[k];
        const double next = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]) / cAuPerDay;
        const bool done = std::fabs(next - tau) < 1e-15;
        tau = next;
        if (done) break;
    }
    double pnat[3], v[3], ppr[3];
    eraPn(p.data(), &tau, pnat); // tau reused only as scratch for the modulus
    for (int k = 0; k < 3; ++k) v[k] = earth->velocity[k] / cAuPerDay;
    double sunVector[3] = {earth->position[0] - sun->position[0], earth->position[1] - sun->position[1],
                           earth->position[2] - sun->position[2]};
    const double s = std::sqrt(eraPdp(sunVector, sunVector));
    const double bm1 = std::sqrt(1.0 - eraPdp(v, v));
    eraAb(pnat, v, s, bm1, ppr);
    return std::array<double, 3>{ppr[0], ppr[1], ppr[2]};
}

// Apparent geocentric right ascension and declination of date (radians) of
// `body` at the TT Julian date `jd`: the direction above carried by the IAU
// 2006 precession (eraBp06, frame bias left out: the ephemeris axes are
// taken as the J2000 mean equator, as the program does) and the IAU 1980
// nutation (eraNut80) with the IAU 2006 mean obliquity.  For comparisons of
// the program's apparent places with ERFA + DE405.
struct RaDec {
    double rightAscension = 0.0; // [0, 2π)
    double declination = 0.0;
};
inline std::optional<RaDec> apparentRaDecOfDate(jpl::Ephemeris& e, jpl::Body body, long double jd) {
    const auto direction = rigorousApparentDirection(e, body, jd);
    if (!direction) return std::nullopt;
    const double d1 = 2400000.5, d2 = static_cast<double>(jd - 2400000.5L);
    double rb[3][3], rp[3][3], rbp[3][3], rn[3][3], rnp[3][3], dpsi, deps;
    eraBp06(d1, d2, rb, rp, rbp);
    eraNut80(d1, d2, &dpsi, &deps);
    eraNumat(eraObl06(d1, d2), dpsi, deps, rn);
    eraRxr(rn, rp, rnp);
    double v[3] = {(*direction)[0], (*direction)[1], (*direction)[2]}, ofDate[3];
    eraRxp(rnp, v, ofDate);
    double ra, dec;
    eraC2s(ofDate, &ra, &dec);
    return RaDec{eraAnp(ra), dec};
}

} // namespace tarvo::testing
