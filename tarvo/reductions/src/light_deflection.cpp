// sunLightDeflection: the bending of a body's light by the Sun's gravity,
// seen by an observer in the solar system.
//
// Given:    p (unit, observer -> body), q (unit, Sun -> body), e (unit,
//           Sun -> observer), em (Sun -> observer, Gm), the AU (Gm)
// Returned: p + (R_s / em) (e (p.q) - q (p.e)) / max(q.(q + e), d),
//           R_s = 2GM☉/c², d = 1e-6 / max((em/AU)², 1); not renormalised
// Notes:    1.75" at the Sun's limb, 4 mas at 90° from the Sun; the limit d
//           keeps a body straight behind the Sun finite.
// Reference: Explanatory Supplement to the Astronomical Almanac (1992),
//           eq. 3.252-3 (the form of ERFA's eraLd and eraLdsun).

#include "tarvo/reductions/iau_reductions.h"

#include <algorithm>

namespace tarvo {

namespace {
double dot(const PlaceVector& a, const PlaceVector& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
} // namespace

PlaceVector sunLightDeflection(const PlaceVector& p, const PlaceVector& q, const PlaceVector& e,
                               double em, double astronomicalUnitGm) {
    const double emAu = em / astronomicalUnitGm;
    const double limit = 1e-6 / std::max(emAu * emAu, 1.0);
    const PlaceVector qe{q[0] + e[0], q[1] + e[1], q[2] + e[2]};
    const double w = kSunSchwarzschildRadiusGm / em / std::max(dot(q, qe), limit);
    const double pq = dot(p, q), pe = dot(p, e);
    return {p[0] + w * (e[0] * pq - q[0] * pe), p[1] + w * (e[1] * pq - q[1] * pe),
            p[2] + w * (e[2] * pq - q[2] * pe)};
}

} // namespace tarvo
