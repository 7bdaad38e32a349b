// apparentPlace: the rigorous place of one body for an observer: light-time,
// light deflection by the Sun, relativistic aberration.
//
// Given:    states at the observation time t in one inertial frame, the
//           light-time and aberration switches, the AU (Gm)
// Returned: the unit direction and the light-time distance
// Notes:    the body and the Sun move on x - τ v + ½ τ² a back to the emission
//           time (the neglected third-order term is below 1 cm for Neptune,
//           whose light takes four hours); τ is iterated to 1e-15 day.  The
//           geometric light time leaves out the Shapiro delay (below 0.1 ms:
//           some metres of motion).  Aberration uses the observer's velocity
//           in the frame of the states: the light-time term uses the body's
//           in the same frame, so the sum is the same in any inertial frame
//           to (v/c)².
// Reference: Explanatory Supplement to the Astronomical Almanac (1992), 3.3.

#include "tarvo/reductions/iau_reductions.h"

#include <cmath>

namespace tarvo {

namespace {

double dot(const PlaceVector& a, const PlaceVector& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
double norm(const PlaceVector& a) {
    return std::sqrt(dot(a, a));
}
PlaceVector unit(const PlaceVector& a) {
    const double n = norm(a);
    return n > 0.0 ? PlaceVector{a[0] / n, a[1] / n, a[2] / n} : a;
}
// Position at t - τ on the quadratic path.
PlaceVector earlier(const PlaceVector& x, const PlaceVector& v, const PlaceVector& a, double tau) {
    const double half = 0.5 * tau * tau;
    return {x[0] - tau * v[0] + half * a[0], x[1] - tau * v[1] + half * a[1],
            x[2] - tau * v[2] + half * a[2]};
}
PlaceVector minus(const PlaceVector& a, const PlaceVector& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

} // namespace

ApparentPlaceResult apparentPlace(const ApparentPlaceInput& in, bool lightTime, bool aberration,
                                  double astronomicalUnitGm) {
    ApparentPlaceResult out;
    PlaceVector q = minus(in.bodyPosition, in.observerPosition);
    if (!lightTime || norm(q) == 0.0) {
        out.direction = unit(q);
        out.lightTimeDistanceGm = norm(q);
        return out;
    }
    double tau = norm(q) / kSpeedOfLightGmPerDay;
    for (int pass = 0; pass < 8; ++pass) {
        q = minus(earlier(in.bodyPosition, in.bodyVelocity, in.bodyAcceleration, tau),
                  in.observerPosition);
        const double next = norm(q) / kSpeedOfLightGmPerDay;
        const bool done = std::fabs(next - tau) < 1e-15;
        tau = next;
        if (done) break;
    }
    out.lightTimeDays = tau;
    out.lightTimeDistanceGm = norm(q);
    PlaceVector p = unit(q);
    if (aberration) {
        const PlaceVector sunToObserver = minus(in.observerPosition, in.sunPosition);
        const double em = norm(sunToObserver);
        // The observer at the Sun's centre (heliocentric places) sees no
        // deflection by it, and the Sun none of its own light.
        if (!in.bodyIsSun && em > 0.0) {
            const PlaceVector sunThen =
                earlier(in.sunPosition, in.sunVelocity, in.sunAcceleration, tau);
            const PlaceVector bodyThen =
                earlier(in.bodyPosition, in.bodyVelocity, in.bodyAcceleration, tau);
            const PlaceVector sunToBody = minus(bodyThen, sunThen);
            if (norm(sunToBody) > 0.0)
                p = sunLightDeflection(p, unit(sunToBody), unit(sunToObserver), em,
                                       astronomicalUnitGm);
        }
        const PlaceVector v{in.observerVelocity[0] / kSpeedOfLightGmPerDay,
                            in.observerVelocity[1] / kSpeedOfLightGmPerDay,
                            in.observerVelocity[2] / kSpeedOfLightGmPerDay};
        p = relativisticAberration(p, v, em);
    }
    out.direction = unit(p);
    return out;
}

} // namespace tarvo
