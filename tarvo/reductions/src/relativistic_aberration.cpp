// relativisticAberration: stellar aberration in its relativistic form, with
// the term of the Sun's gravitational potential at the observer.
//
// Given:    p (unit natural direction), v (observer velocity / c), s (Sun ->
//           observer, Gm; 0 leaves the potential term out)
// Returned: the unit apparent direction
// Notes:    p' ∝ β⁻¹ p + (1 + p.v / (1 + β⁻¹)) v + (R_s / s)(v - (p.v) p),
//           β⁻¹ = √(1 - v²), R_s = 2GM☉/c²; the (v/c)² terms reach 1 mas at
//           the Earth, the potential term 0.03 mas.
// Reference: Explanatory Supplement to the Astronomical Almanac (1992),
//           eq. 3.252-3 (the form of ERFA's eraAb).

#include "tarvo/reductions/iau_reductions.h"

#include <cmath>

namespace tarvo {

PlaceVector relativisticAberration(const PlaceVector& p, const PlaceVector& v, double s) {
    const double pv = p[0] * v[0] + p[1] * v[1] + p[2] * v[2];
    const double inverseGamma = std::sqrt(1.0 - (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    const double w1 = 1.0 + pv / (1.0 + inverseGamma);
    const double w2 = s > 0.0 ? kSunSchwarzschildRadiusGm / s : 0.0;
    PlaceVector r;
    double r2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        r[k] = p[k] * inverseGamma + w1 * v[k] + w2 * (v[k] - pv * p[k]);
        r2 += r[k] * r[k];
    }
    const double norm = std::sqrt(r2);
    for (double& c : r) c /= norm;
    return r;
}

} // namespace tarvo
