// Quintic Hermite interpolation inside one integration step: the curve that
// matches the positions, velocities and accelerations at both ends of the
// step. Every refinement of an event inside a step uses it.
#pragma once

#include "tarvo/dynamics/step_hook.h"

#include <array>

namespace tarvo {

// Position and velocity of one coordinate at a fraction of the step.
struct HermitePoint {
    long double x = 0.0L; // position (Gm)
    long double u = 0.0L; // velocity per step (Gm per step: velocity times h)
};

/*
** hermite5: one coordinate at the fraction p of a step.
** Given: p (0 at the start, 1 at the end of the step), positions x0, x1 (Gm),
**   velocities per step u0, u1 (Gm/day times h) and accelerations per step
**   a0, a1 (Gm/day^2 times h^2) at the two ends.
** Returned: the position and the velocity per step at p.
** Notes: `error` is increased by |E p^3 (1 - p)^2|, E the fifth-order
**   coefficient: the size of the part of the curve the end conditions
**   determine least well, the refinements' warning of a poor interpolation.
**   Exact for every polynomial of degree five or less.
*/
HermitePoint hermite5(long double p, long double x0, long double x1, long double u0, long double u1,
                      long double a0, long double a1, long double& error);

// Position (Gm) and velocity (Gm/day) of one body inside a step.
struct InterpolatedState {
    std::array<long double, 3> r{};
    std::array<long double, 3> v{};
};

/*
** interpolateBody: body i of the step at the fraction p (0 .. 1 from t0 to
** t1), in the frame and origin of the table (the Moon geocentric where the
** table keeps it so). `error` accumulates the interpolation warning of each
** coordinate (Gm).
*/
InterpolatedState interpolateBody(const StepEnds& step, int i, long double p, long double& error);

} // namespace tarvo
