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

#include <algorithm>
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

// ---- the chain of the current IAU standard ------------------------------------------

// TDB of a TT Julian date at the geocentre (ERFA's eraDtdb): the argument
// the data sets sampled DE405 with (they use the two leading terms).
inline long double tdbOfTt(long double jdTT) {
    const double d2 = static_cast<double>(jdTT - 2451545.0L);
    return jdTT + eraDtdb(2451545.0, d2, 0.0, 0.0, 0.0, 0.0) / 86400.0L;
}

// A site's geocentric position and velocity in the GCRS (AU, AU/day), from
// ERFA: eraPvtob with the Greenwich apparent sidereal time eraGst06a of the
// given UT1, no polar motion, turned by the transpose of eraPnm06a.
struct GcrsSite {
    std::array<double, 3> position{}, velocity{};
};
inline GcrsSite gcrsSite(double eastLongitude, double latitude, double heightM, long double jdUT1,
                         long double jdTT, double auKm) {
    const double ut = static_cast<double>(jdUT1 - 2451545.0L),
                 tt = static_cast<double>(jdTT - 2451545.0L);
    const double gast = eraGst06a(2451545.0, ut, 2451545.0, tt);
    double pv[2][3], rnpb[3][3], p[3], v[3];
    eraPvtob(eastLongitude, latitude, heightM, 0.0, 0.0, 0.0, gast, pv);
    eraPnm06a(2451545.0, tt, rnpb);
    eraTrxp(rnpb, pv[0], p);
    eraTrxp(rnpb, pv[1], v);
    GcrsSite site;
    for (int k = 0; k < 3; ++k) {
        site.position[k] = p[k] / (auKm * 1000.0);
        site.velocity[k] = v[k] * 86400.0 / (auKm * 1000.0);
    }
    return site;
}

/*
** iauApparentRaDec: apparent right ascension and declination of the true
** equator and equinox of date, ERFA's rigorous chain on DE405.
**
** The observer is the geocentre plus `site` (GCRS).  Light-time iterated on
** the barycentric ephemeris (argument TDB of the TT instant); deflection by
** the Sun with eraLd (the Sun at the emission time for the body, at the
** observation time for the observer; not for the Sun itself), aberration
** eraAb with the observer's barycentric velocity, then eraPnm06a.
*/
inline std::optional<RaDec> iauApparentRaDec(jpl::Ephemeris& e, jpl::Body body, long double jdTT,
                                             const GcrsSite& site = {}) {
    const long double jd = tdbOfTt(jdTT);
    const auto earth = barycentric(e, jpl::Body::Earth, jd);
    const auto sunNow = barycentric(e, jpl::Body::Sun, jd);
    if (!earth || !sunNow) return std::nullopt;
    const double cAuPerDay =
        ERFA_CMPS * ERFA_DAYSEC / (static_cast<double>(e.header().auKm) * 1000.0);
    double o[3], ov[3];
    for (int k = 0; k < 3; ++k) {
        o[k] = earth->position[k] + site.position[k];
        ov[k] = earth->velocity[k] + site.velocity[k];
    }
    double tau = 0.0, p[3] = {0, 0, 0};
    EphemerisState then;
    for (int pass = 0; pass < 10; ++pass) {
        const auto b = barycentric(e, body, jd - static_cast<long double>(tau));
        if (!b) return std::nullopt;
        then = *b;
        for (int k = 0; k < 3; ++k) p[k] = b->position[k] - o[k];
        const double next = std::sqrt(eraPdp(p, p)) / cAuPerDay;
        const bool done = std::fabs(next - tau) < 1e-15;
        tau = next;
        if (done) break;
    }
    const auto sunThen = barycentric(e, jpl::Body::Sun, jd - static_cast<long double>(tau));
    if (!sunThen) return std::nullopt;
    double pn[3], r, eh[3], en[3], em, q[3], qn[3], p1[3], v[3], ppr[3];
    eraPn(p, &r, pn);
    for (int k = 0; k < 3; ++k) eh[k] = o[k] - sunNow->position[k];
    eraPn(eh, &em, en);
    for (int k = 0; k < 3; ++k) p1[k] = pn[k];
    if (body != jpl::Body::Sun) {
        for (int k = 0; k < 3; ++k) q[k] = then.position[k] - sunThen->position[k];
        eraPn(q, &r, qn);
        eraLd(1.0, pn, qn, en, em, 1e-6 / std::max(em * em, 1.0), p1);
    }
    for (int k = 0; k < 3; ++k) v[k] = ov[k] / cAuPerDay;
    eraAb(p1, v, em, std::sqrt(1.0 - eraPdp(v, v)), ppr);
    double rnpb[3][3], ofDate[3], ra, dec;
    eraPnm06a(2451545.0, static_cast<double>(jdTT - 2451545.0L), rnpb);
    eraRxp(rnpb, ppr, ofDate);
    eraC2s(ofDate, &ra, &dec);
    return RaDec{eraAnp(ra), dec};
}

} // namespace tarvo::testing
