// The three forms of Kepler's equation the element conversions solve.
#pragma once

namespace tarvo {

struct AnomalySolution {
    long double anomaly = 0;  // E, s or H
    int rounds = 0;           // iterations used
    bool converged = false;   // false: the round limit was reached, `anomaly` is the last iterate
};

/*
** solveEllipticKepler: eccentric anomaly E from E - e sin E = M.
** Given: e in [0, 1), M (rad, any value).
** Returned: E (rad) reduced with M into [-pi, pi).
** Notes: Halley's method from E = M (from M + 0.85 e for e > 0.8, which keeps
**   the first step on the right side of the root), until |dE| < 1e-16, at
**   most 1000 rounds; extended precision.
** Reference: Danby (1988), 6.6.
*/
AnomalySolution solveEllipticKepler(long double e, long double meanAnomaly);

/*
** solveBarker: s from s^3/6 + q s = M (parabolic orbit, canonical units).
** Given: q > 0 (AU), M (sqrt(mu) times the time from perihelion).
** Returned: s, the parabolic anomaly (r = q + s^2/2).
** Notes: Newton's method from s = M inside a bracket that catches every
**   overshoot; stops when |ds| < 2e-17 max(1, |s|), at most 50000 rounds.
*/
AnomalySolution solveBarker(long double q, long double meanAnomaly);

/*
** solveHyperbolicKepler: H from e sinh H - H = M.
** Given: e > 1, M (rad, any value).
** Returned: H.
** Notes: Newton's method from H = asinh(M/e), kept inside a bracket of the
**   root, so that no iterate overflows even when e is close to 1 or M is
**   huge; stops when |dH| < 1e-14 max(1, |H|), at most 50000 rounds.
*/
AnomalySolution solveHyperbolicKepler(long double e, long double meanAnomaly);

}  // namespace tarvo
