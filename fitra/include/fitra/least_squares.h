// The least-squares differential correction: the thirteen parameter slots,
// the observation components of a run, the normal equations and their
// inversion, the damping of the correction and the convergence test.
//
// One iteration integrates the nominal run and one run per fitted slot
// (that slot offset by its increment); the runs are independent and run in
// parallel, and every sum over them is taken in a fixed order, so the
// result is the same whatever the number of threads.
#pragma once

#include "fitra/fit_dynamics.h"
#include "fitra/fitra_settings.h"
#include "fitra/positions_file.h"
#include "fitra/starting_conditions.h"

#include <array>
#include <string>
#include <vector>

namespace fitra {

inline constexpr int kSlotCount = 13;
using SlotVector = std::array<long double, kSlotCount + 1>; // index 1..13
using SlotMatrix = std::array<SlotVector, kSlotCount + 1>;

struct ParameterSlots {
    std::array<bool, kSlotCount + 1> active{};
    SlotVector value{}, increment{}, correction{};
    int activeCount() const;
};

// The 3-character label of a slot under the toggles.
std::string slotLabel(int slot, const FitraSettings& settings);

// The slots of a fit from its starting conditions: state or elements,
// non-gravitational set, mass; the increments of the first iteration.
// Slots 1-6 are active; the others as `settings` ask (A0 Fix takes slot 6).
ParameterSlots initialSlots(const FitraSettings& settings, const StartingConditions& start,
                            const FitDynamics& dynamics);

// Auto Starting: the epoch of the middle observation in the fit, and a
// state there at `startDistanceAu` from the observer along the observed
// direction, moving on a circular heliocentric orbit in the ecliptic's
// sense of motion.
long double autoStartEpoch(const PositionsFile& file);
StartingConditions autoStartingConditions(const PositionsFile& file, const FitraSettings& settings,
                                          const FitDynamics& dynamics);

// The fitted body's starting state of a run: slot `offsetSlot` (0: none)
// offset by its increment. False (with a message) when the slots describe
// no orbit.
bool startOfRun(const ParameterSlots& slots, int offsetSlot, const FitraSettings& settings,
                const FitDynamics& dynamics, FittedStart& start, std::string& message);

// What the fit keeps per observation that no run changes: epoch, observer
// offset, frame rotation and the observed components.
struct FitObservations {
    std::vector<Observation> observations;
    std::vector<long double> times;          // TT, days from J2000
    std::vector<Vector3> site, siteVelocity; // observer relative to the origin, J2000, Gm, Gm/day
    std::vector<std::array<Vector3, 3>> toOutput; // J2000 equator -> frame of the angles (rows)
    std::vector<Vector3> observed;                // components times the weight factor
    std::vector<long double> weight;              // weight factors (1 unweighted)
    bool skipFirst = false;
    std::size_t radarLeftOut = 0; // radar lines, which this fit does not use
};

FitObservations prepareObservations(const PositionsFile& file, const FitraSettings& settings);

// The length of an angular component vector (Gm): 1 AU, 0.01 Gm for a satellite.
long double componentLength(const FitraSettings& settings);

// Computed components of every observation from the states of a run.
std::vector<Vector3> computedComponents(const FitObservations& obs,
                                        const std::vector<EpochStates>& states,
                                        const FitraSettings& settings);

// The direction of the body as the observer sees it, in the frame of the
// angles (before the length and weight are applied).
Vector3 computedDirection(const FitObservations& obs, std::size_t k, const EpochStates& state,
                          const FitraSettings& settings);

// Computed minus observed angles of an optical
// observation, arcseconds: (Δα cos δ, Δδ) from the computed direction in
// the frame of the angles.
std::array<long double, 2> angularResiduals(const Observation& observation,
                                            const Vector3& computedDirection);

/*
** invertNormalMatrix: Gauss-Jordan inversion in place over the active slots.
** The matrix is first scaled by its diagonal (to unit diagonal), so that a
** pivot below 1e-13 of the scaled matrix means slots that the observations
** cannot separate; the message then names them ("Singular Matrix ! ..."),
** and the matrix is left unchanged. False on failure.
*/
bool invertNormalMatrix(const std::array<bool, kSlotCount + 1>& active, SlotMatrix& matrix,
                        const FitraSettings& settings, std::string& message);

// The damping of a correction (in place): repeated factors 0.7 until the
// limits of the fit hold. `startDistance` is the body's geocentric distance
// at the starting epoch (Gm). For a Keplerian fit the corrected e stays
// >= 0 and on its side of 1, and a stays > 0; a correction that cannot be
// brought inside them is set to 0 with `message` saying why. Always ends.
void dampCorrection(SlotVector& delta, const ParameterSlots& slots, const FitraSettings& settings,
                    long double startDistance, std::string& message);

struct FitHistory {
    int iteration = 0;
    long double sigma[3] = {90, 180, 360}; // current, previous, second-previous (degrees)
    long double bestSigma = 1e12;
    bool converged = false;
};

// Records σ of the iteration just run in `history` (the counter already
// counts it) and says whether the fit has converged: σ changed by less than
// 2.75e-9 degrees or 1e-5 of itself, and then either it also agrees with
// the one before within 2.75e-9, or the relative test held after the
// first iteration. The starting history 90, 180, 360 keeps the first
// iteration from stopping.
bool recordSigma(FitHistory& history, long double sigma);

struct IterationResult {
    bool ok = false;
    std::string message;        // why the iteration stopped
    long double sigmaDeg = 0;   // σ of the nominal run, degrees
    long double unitWeight = 0; // s: sqrt(weighted squares / ν)
    long double degreesOfFreedom = 0;
    std::size_t used = 0;            // observations in the fit
    SlotMatrix normal{};             // N before inversion
    SlotMatrix inverse{};            // N^-1
    SlotVector correction{};         // damped, applied
    SlotVector formalError{};        // E_i
    std::vector<Vector3> computed;   // nominal components
    std::vector<EpochStates> states; // nominal states at the observation epochs
    std::vector<Vector3> directions; // nominal computed directions
    bool improved = false;           // σ below the best so far
    bool converged = false;
};

// One iteration: runs, residuals, normal equations, correction, damping,
// convergence; on success the slots are corrected and their increments
// renewed. A failure leaves the slots unchanged.
IterationResult runIteration(const FitDynamics& dynamics, const FitObservations& obs,
                             const FitraSettings& settings, ParameterSlots& slots,
                             FitHistory& history);

} // namespace fitra
