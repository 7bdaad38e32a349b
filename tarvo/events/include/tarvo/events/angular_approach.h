// The angular kind of the close-approach search: minima (or maxima) of the
// angle between two bodies as seen from the centre of the Earth, found from
// the sign change of g (|a|^3 |b|^3 times the rate of the cosine of the
// angle) and refined on the step's quintic.
#pragma once

#include "tarvo/dynamics/hermite5.h"
#include "tarvo/dynamics/step_hook.h"

namespace tarvo {

/*
** angularRate: g = |a|^2|b|^2 (v_a.b + a.v_b) - (a.b)(|b|^2 a.v_a + |a|^2 b.v_b)
** for the directions a, b of two objects from the observer and their rates.
** Positive while the angle shrinks.
*/
long double angularRate(const std::array<long double, 3>& a, const std::array<long double, 3>& va,
                        const std::array<long double, 3>& b, const std::array<long double, 3>& vb);

// True when g brackets a minimum of the angle (from positive to zero or
// negative; a zero at the start does not count, so that a zero on a step
// boundary is found once) or, farthest, a maximum.
bool bracketsAngularExtremum(long double g0, long double g1, bool farthest);

struct AngularEvent {
    int a = 0, b = 0;
    long double p = 0.0L, time = 0.0L;
    long double separation = 0.0L; // radians, 0 .. pi
    InterpolatedState stateA, stateB, observer;
    long double interpolationError = 0.0L;
    bool warning = false;
    bool doubtful = false; // stopped by the pass limit
};

/*
** refineAngular: the extremum of the angle between bodies a and b seen from
** body `observer`, inside the step (absolute states), by regula falsi on p.
*/
AngularEvent refineAngular(const StepEnds& step, int observer, int a, int b, long double g0,
                           long double g1, bool farthest);

// g of bodies a, b seen from `observer` at one end of the step.
long double angularRateAt(const TableStates& s, int observer, int a, int b);

} // namespace tarvo
