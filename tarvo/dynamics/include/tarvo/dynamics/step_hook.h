// The states at both ends of one accepted integration step, handed to
// whatever watches the run step by step: the event searches, the collision
// trap and the conservation log. The integration driver knows nothing of
// them; it calls the one hook installed on the integrator after every
// accepted (sub)step.
//
// Useful for anything that interpolates inside a step (hermite5) or compares
// the two ends; positions are those of the body table, so the Moon (and the
// satellites in satellite mode) are geocentric there, as in the table.
#pragma once

#include <cstddef>
#include <vector>

namespace tarvo {

struct BodyTable;
struct IntegrationState;
struct Integrator;

// Positions (Gm), velocities (Gm/day, in the true sense of time) and
// accelerations (Gm/day²) of bodies 0 .. N, in the frame of the table.
struct TableStates {
    std::vector<long double> x, y, z;
    std::vector<long double> vx, vy, vz;
    std::vector<long double> ax, ay, az;
    void resize(std::size_t n);
};

struct StepEnds {
    long double t0 = 0.0L;  // epoch at the start of the step, days from J2000 (TT)
    long double t1 = 0.0L;  // epoch at its end (t0 - h for backward runs)
    long double h = 0.0L;   // length of the step, days, > 0
    int direction = 1;      // +1 forward, -1 backward
    int bodyCount = 0;      // N: bodies 0 .. N
    bool shortened = false; // the adaptive control took a step shorter than the nominal one
    const TableStates* start = nullptr;
    const TableStates* end = nullptr;
};

// Installed on the integrator (Integrator::stepHook) for as long as
// something watches the steps; called after every accepted step, before the
// single impulses of its end epoch are applied.
class StepHook {
  public:
    virtual ~StepHook() = default;
    virtual void afterAcceptedStep(const StepEnds& step) = 0;
};

/*
** captureStepEnds: the two ends of the step just accepted by integrateStep.
** Given: the table after the step, the state, the integrator (its retry copy
**   holds the start positions and step velocities, work.start and
**   endOfStep the start and end h^2 a of the accepted step h), t0 and h.
** Returned: in `ends`, with the arrays of `start` and `end` filled.
** Notes: the table's step velocities u = direction * H * v are divided by
**   the step they were scaled for (h at the start, the next step at the
**   end); accelerations are h^2 a / h^2.
*/
void captureStepEnds(const BodyTable& table, const IntegrationState& state,
                     const Integrator& integrator, long double t0, long double h,
                     TableStates& start, TableStates& end, StepEnds& ends);

} // namespace tarvo
