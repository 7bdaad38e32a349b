// Interpolation inside a step of a body that circles another closely (the
// Moon about the Earth): the step of the integrator may span days, over
// which a quintic through the ends follows the Moon to kilometres only. The
// two-body orbit about the primary through the start state carries the
// motion; the quintic takes only what the other bodies add to it.
#pragma once

#include "tarvo/dynamics/hermite5.h"

#include <array>

namespace tarvo {

/*
** keplerPropagate: the two-body state after dt days.
** Given: position r0 (Gm) and velocity v0 (Gm/day) relative to the
**   primary, mu = G (m1 + m2) (Gm^3/day^2), dt (days, either sign).
** Returned: position, velocity and acceleration (-mu r/|r|^3) at t0 + dt.
** Notes: universal variables, Newton on the universal anomaly; any
**   conic. Exact to the rounding of long double for the Moon over weeks.
*/
struct TwoBodyState {
    std::array<long double, 3> r{}, v{}, a{};
};
TwoBodyState keplerPropagate(const std::array<long double, 3>& r0,
                             const std::array<long double, 3>& v0, long double mu, long double dt);

/*
** interpolateAbout: body i at the fraction p of the step (absolute states)
** as the two-body orbit about body `primary` through its start state, plus
** the quintic of the remainder, plus the primary's own quintic.
*/
InterpolatedState interpolateAbout(const StepEnds& step, int i, int primary, long double mu,
                                   long double p);

} // namespace tarvo
