// The close-approach search of the spatial kind: for pairs of bodies, the
// minima (or maxima) of their distance inside each integration step, found
// from the sign change of f = dr . dv and refined on the quintic through the
// step's ends. The pieces are declared here so that they can be checked one
// by one; the search itself is opened from the table of searches (key Y).
#pragma once

#include "tarvo/dynamics/hermite5.h"
#include "tarvo/dynamics/step_hook.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace tarvo {

struct BodyTable;

// Which bodies the pairs are made of: every pair with at least one body in
// first .. last (both -1: every pair of the table).
struct PairSelection {
    int first = -1;
    int last = -1;
    bool all() const { return first < 0; }
    bool contains(int i) const { return all() || (i >= first && i <= last); }
};

/*
** absoluteStates: the step's states with every body stored relative to the
** Earth (the Moon; the satellites in satellite mode) moved to the origin of
** the others, so that relative vectors of any two bodies can be taken.
*/
void absoluteStates(const StepEnds& step, const BodyTable& table, bool satelliteMode,
                    TableStates& start, TableStates& end, StepEnds& out);

/*
** candidatePairs: the pairs that can have a minimum (or maximum) of their
** distance at or below `reach` Gm inside the step.
** Notes: each body is boxed in x, y and z by its positions at both ends,
**   widened by the sag of its path, a quarter of its largest acceleration
**   times h^2 (twice the sag of a constant acceleration), and by reach/2;
**   the boxes are swept in order of their lower x ends and kept when they
**   overlap in y and z too. No pair whose distance falls to `reach` inside
**   the step is left out; every pair is listed once, as (lower, higher
**   index), in no particular order. Detection runs in double.
*/
std::vector<std::pair<int, int>> candidatePairs(const StepEnds& step,
                                                const PairSelection& selection, double reach);

// The pair function dr . dv (Gm^2/day) of bodies a and b at one end.
long double pairFunction(const TableStates& s, int a, int b);

// One refined extremum of distance inside a step.
struct SpatialEvent {
    int a = 0, b = 0;
    long double p = 0.0L;        // fraction of the step
    long double time = 0.0L;     // TT, days from J2000
    long double distance = 0.0L; // Gm
    InterpolatedState stateA, stateB;
    long double interpolationError = 0.0L; // accumulated warning term, Gm
    bool warning = false;                  // interpolation error above 1e-4 Gm
    bool doubtful = false;                 // refinement stopped by its pass limit
};

// True when the pair function changes sign the wanted way over the step:
// from negative to zero or positive (minimum), or the reverse (farthest).
// A zero at the end counts, a zero at the start does not, so that a zero on
// a step boundary is found once.
bool bracketsExtremum(long double f0, long double f1, bool farthest);

/*
** refineSpatial: the extremum of distance of bodies a and b inside the
** step by regula falsi on the fraction p, on the quintic of both bodies.
** Given: the absolute states of the step, the pair, f at both ends (their
**   signs bracket the extremum), farthest mode.
** Returned: the event (time, distance, interpolated states, flags).
*/
SpatialEvent refineSpatial(const StepEnds& step, int a, int b, long double f0, long double f1,
                           bool farthest);

// The quantities of an encounter that tell how it changed the lighter
// body's orbit.
struct Encounter {
    long double vInfinity = 0.0L; // relative speed at infinity, Gm/day
    long double q1 = 0.0L;        // relative change of the lighter body's semi-major axis
    long double q2 = 0.0L;        // change of its mean motion, arcsec/year
    long double q3 = 0.0L;        // deflection of the relative orbit, arcsec
    bool bound = false;           // the pair's relative orbit is an ellipse (no v-infinity)
};

/*
** encounterQuantities: v-infinity, q1, q2, q3 of a refined minimum.
** Given: the masses (10^24 kg) of the two bodies and of the Sun, the
**   states of the two bodies and of the Sun at the minimum (Gm, Gm/day).
** Notes: a bound pair (V^2 < 2 mu / D, a planet and its moon) has no
**   speed at infinity: v-infinity, q1 and q2 are 0, q3 is 648000" (the
**   relative orbit turns right round), and `bound` is set.
*/
Encounter encounterQuantities(long double massA, long double massB, long double massSun,
                              const InterpolatedState& a, const InterpolatedState& b,
                              const InterpolatedState& sun);

} // namespace tarvo
