// Extrapolation integrator: Stoermer's rule for the second-order equations
// of motion with a fixed number of Richardson extrapolation stages in the
// square of the substep, an optional error estimate driving an adaptive step
// control, and the Moon weights used at the 3-day step.
//
// Useful while the step resolves every orbit of the table with some 10
// steps or more (the Moon at 3 days is the limit the Moon weights extend);
// close encounters need the adaptive control or a smaller nominal step.
#pragma once

#include <string>
#include <vector>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/step_hook.h"

namespace tarvo {

// Tolerances of the adaptive step control.
inline constexpr double stepTolerance = 5e-17;         // accepted relative error
inline constexpr double stepGrowthThreshold = 2e-19;   // below this the step may grow
inline constexpr long double stepTimeEpsilon = 1e-15L; // times h: boundary slack
// The smallest step the control will try, relative to the nominal step:
// below it a step is accepted whatever its error estimate.
inline constexpr long double minimumStepFraction = 9.094947017729282379150390625e-13L;  // 2^-40

// Work arrays of one extrapolation step, one entry per body.
struct ExtrapolationWork {
  std::vector<long double> stageX, stageY, stageZ;  // stage positions, Gm
  std::vector<long double> incX, incY, incZ;        // stage increments Delta, Gm per substep
  // One body's running sums, per axis, side by side: the loops over the
  // bodies then address them from one pointer.
  struct BodySums {
    SplitExtended firstInc[3];   // Delta_1 of the stage
    SplitExtended accSum[3];     // sum of the stage's A_k
    SplitExtended accMoment[3];  // sum of (n - k) A_k
    SplitExtended halfStart[3];  // a0 / (2n) of the stage
    SplitExtended posSum[3];
    SplitExtended velSum[3];
    SplitExtended errSum[3];
  };
  std::vector<BodySums> sums;
  using Split = std::vector<SplitExtended>;
  // Stage positions and H^2 a of the massless minor bodies on the double
  // path (from ForceSplitBodies::first on), kept as exact double pairs.
  Split stagePosX, stagePosY, stagePosZ;
  Split stageAccX, stageAccY, stageAccZ;
  std::vector<long double> savedStepMass;
  Accelerations start;  // h^2 a at the start of the step
  Accelerations stage;  // H^2 a inside a stage
  std::size_t slots = 0;
  void ensure(std::size_t n);
};

// Result of one attempt.
struct StepError {
  double error = 1e-64;   // largest relative error over the bodies (adaptive mode)
  int worstBody = 0;
  bool moonTableUsed = false;
  bool finite = true;     // false: the new state or the error estimate is not finite
};

// Step control between attempts and driver iterations.
struct StepControl {
  long double remaining = 0.0L;   // R: distance to the next step boundary, days
  long double timeEpsilon = 0.0L; // 1e-15 h at the start of the driver call
  std::vector<long double> savedX, savedY, savedZ, savedVX, savedVY, savedVZ;  // retry copy
};

struct Integrator {
  ExtrapolationWork work;
  StepControl control;
  Accelerations endOfStep;           // h^2 a at the end of the accepted step
  bool wantEndAccelerations = false; // event searches, collision trap, ...
  // What watches the steps (the run loop's searches, trap and log); the
  // end-of-step accelerations are computed whenever it is set.
  StepHook* stepHook = nullptr;
  TableStates hookStart, hookEnd;     // the states handed to it
  bool moonTableEnabled = true;      // diagnostics: false makes the Moon use W too
};

enum class IntegrateStatus { ok, error };

struct IntegrateResult {
  IntegrateStatus status = IntegrateStatus::ok;
  long double stepTaken = 0.0L;  // days, the h of the accepted attempt
  bool boundaryReached = false;
  double error = 1e-64;
  int worstBody = 0;
  int attempts = 0;
  int halvings = 0;              // total halvings of this iteration's retries
  long double smallestStep = 0.0L; // days: the shortest accepted substep (advanceNominalStep)
  std::string message;           // "Error 6 is in Integrate: " and the body, on a non-finite step
  int faultBody = -1;            // on a non-finite step: the body named, and
  int nearestBody = -1;          // the body nearest to it at the start (-1: none)
};

/*
** extrapolationStep: one attempt of one step of length h = state.step.
** Given: table (positions Gm, step velocities h*v*direction, stepMass for
**   h), state (orderCode M = 0..8, raised to 7 under adaptive control;
**   adaptive flag), model.
** Returned: table positions and step velocities advanced in place; the step
**   masses are left as they were (for h). StepError: E and the worst body
**   in adaptive mode (the Sun and the Moon never set it); finite == false
**   when the new state or E is not a finite number.
** Notes: 1 + sum n_j force evaluations (30, 40, 52 for M = 6, 7, 8). The
**   stage results are extrapolated as deviations from x + u and from u
**   (algebraically equal to the stage end states), which keeps the
**   cancellation of the large weights away from the state: rounding then
**   adds about 1e-19 relative per step instead of some 1e-17.
*/
StepError extrapolationStep(BodyTable& table, const IntegrationState& state, ForceModel& model,
                            Integrator& integrator);

/*
** relativeStepError: error of one body, (|ex| + |ey| + |ez|) / (S D + 1e-9)
** with S = |x| + |y| + |z| of its new position (Gm), ex.. its error sums and
** D the denominator of the error weights. Finite for a body at the origin.
*/
long double relativeStepError(const long double errorSum[3], const long double position[3],
                              long double denominator);

/*
** rescaleStep: after a change of state.step: stepMass[i] = (h G h) mass[i]
** and every step velocity times h / previousStep, for bodies 0 .. N.
*/
void rescaleStep(BodyTable& table, const IntegrationState& state);

/*
** beginIntegration: velocities of the table in Gm/day (true sense of time)
** become step velocities for state.step and direction (+1 or -1):
** previousStep = 1, velocities negated for backward runs, rescaleStep.
*/
void beginIntegration(BodyTable& table, IntegrationState& state, int direction);

/*
** reverseDirection: time reversal of a running integration (velocities
** negated, direction flipped).
*/
void reverseDirection(BodyTable& table, IntegrationState& state);

/*
** stepHalvings: how many times a rejected step is halved for an error
** estimate E: ceil(log2(E / 5e-17) / 16), at least 1 (one halving per
** factor 2^16 of excess error).
*/
int stepHalvings(double error);

/*
** integrateStep: one driver iteration with step control: attempts until one
** is accepted, then the remaining distance R to the step boundary and the
** next h (with rescaleStep) are set. The caller adds direction * stepTaken to
** the epoch.
** Notes: a step is accepted when E <= 5e-17 or h <= nominalStep * 2^-40;
**   a non-finite E (or state) restores the state before the attempt and
**   returns IntegrateStatus::error with "Error 6 is in Integrate".
*/
IntegrateResult integrateStep(BodyTable& table, IntegrationState& state, ForceModel& model,
                              Integrator& integrator);

/*
** advanceNominalStep: the integration driver: one nominal step of
** nominalStep days (several substeps under adaptive control), ending
** exactly on the boundary; epoch advanced by exactly direction * nominalStep
** when the boundary is reached. Refreshes the Earth-figure flags before
** each substep and, with the single-impulse option, applies the impulses
** after each accepted substep;
** the step hook, when installed, sees each accepted substep before them.
*/
IntegrateResult advanceNominalStep(BodyTable& table, IntegrationState& state, ForceModel& model,
                                   Integrator& integrator);

/*
** refreshEarthFigureFlags: earthFigureFlag[j] for the minor bodies: true
** within 4 Gm of the Earth (not in satellite mode, where the satellite field
** always applies).
*/
void refreshEarthFigureFlags(BodyTable& table, const IntegrationState& state);

/*
** applyImpulses: single velocity changes of the minor bodies whose impulse
** epoch lies in (tA, tB], tA < tB the epochs around the step just taken
** (h days). Adds h * 0.0864 * (dV1 v^ + direction (dV3 N^ + dV2 W^)) to the
** step velocity, N = v x r, W = N x v, r and v relative to the Sun (to the
** Earth for satellites).
*/
void applyImpulses(BodyTable& table, const IntegrationState& state, long double tA,
                   long double tB, long double h);

}  // namespace tarvo
