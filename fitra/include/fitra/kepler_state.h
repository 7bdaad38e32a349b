// Osculating elements and the state of the fitted body: the two-body
// conversion a Keplerian fit forms its starting state with, its anomaly
// solvers, and the inverse conversion for the element outputs.
#pragma once

#include <array>

namespace fitra {

// Elements as the Keplerian slots hold them: angles in degrees, a in AU
// (the size of the orbit, positive also for a hyperbola), q in AU in place
// of a when e is exactly 1.
struct KeplerElements {
    long double e = 0, i = 0, w = 0, node = 0, a = 0, M0 = 0;
};

struct KeplerState {
    std::array<long double, 3> position{}; // Gm, J2000 equator (geocentric equator for a satellite)
    std::array<long double, 3> velocity{}; // km/s
    bool roundLimit = false;               // a solver ran out of rounds; its last value was used
    bool ok = true;                        // false: the elements describe no orbit
};

// Eccentric anomaly of an ellipse: Newton steps each followed by a
// fixed-point step, until the fixed-point change is below 2e-14 (at most
// 300000 rounds).
long double solveEllipticAnomaly(long double e, long double M, bool& roundLimit);
// Hyperbolic anomaly F of e sinh F - F = M by Newton from asinh(M/e)
// (F = M overshoots by orders of magnitude for large M), |dF| < 2e-16.
long double solveHyperbolicAnomaly(long double e, long double M, bool& roundLimit);
// D of q D + D^3/6 = M by Newton from D = M, |dD| < 2e-16.
long double solveParabolicAnomaly(long double q, long double M, bool& roundLimit);

// The state of the elements. Heliocentric elements are referred to the
// J2000 ecliptic (obliquity 84381.448"); a satellite's to the equator, with
// k times 0.001733057908.
KeplerState keplerToState(const KeplerElements& elements, bool satellite);

// The elements of a state (position Gm, velocity km/s); `massRatio` is the
// body's mass over the central body's. e below 1e-9 is 0, i of 9e-9 degrees
// or less is 0.
KeplerElements stateToKepler(const std::array<long double, 3>& position,
                             const std::array<long double, 3>& velocity, long double massRatio,
                             bool satellite);

} // namespace fitra
