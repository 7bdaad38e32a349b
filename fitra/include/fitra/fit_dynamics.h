// The dynamical model of a fit: the body table (Sun, major bodies, the
// optional added body and the fitted body last), the force-model and
// integrator settings the toggles choose, and one run: the fitted body's
// starting state integrated to every observation epoch.
//
// The table is held in the J2000 equator for the whole fit (the fit's arcs
// are decades, over which the frame of date would only move the Earth's
// and Moon's figure terms, which an asteroid does not feel).
#pragma once

#include "fitra/fitra_settings.h"
#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/integrator.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace fitra {

using Vector3 = std::array<long double, 3>;

// Everything a run copies before it integrates: the table at the starting
// epoch with the major bodies in place (true velocities in Gm/day), the
// switches of the integrator and the force model.
struct FitDynamics {
    tarvo::BodyTable table;
    tarvo::IntegrationState state;
    tarvo::ForceModel model;
    long double epoch = 0; // starting epoch, days from J2000 (TT)
    int fittedIndex = 0;   // N, the last body
    int earthIndex = 3;
    long double maxPiece = 3.0L;  // longest piece of an integration towards a target, days
    bool satellite = false;       // geocentric integration
    long double nonGravScale = 0; // A1..A3 in AU/day^2 to the table's Gm/day^2
};

// The planetary data set a fit uses (Earth's Satellite and Minor Pl.).
int fitDataSet(const FitraSettings& settings);

// Integrator settings of the fit: order 6 and fixed 3-day steps, or order 7
// with adaptive control (Adaptive Stepsize), or order 7 and 1/128 day for
// an Earth satellite; pieces of at most 3 (0.5) days.
void applyIntegratorSettings(const FitraSettings& settings, FitDynamics& dynamics);

// Builds the table of a fit at `epoch` from the planetary data set the
// toggles choose (files in `binDir` and `ascDir`): the record nearest the
// epoch, integrated to it, then the fitted body (massless, index N) added.
// False, with a message naming the file, when a data set cannot be read.
// With Add Body, the first body of `addedBodyFile` (STARTING.TVX) joins
// the table at its own epoch, massive (its mass is the record's first
// number), between the major bodies and the fitted body.
bool buildFitDynamics(const std::filesystem::path& binDir, const std::filesystem::path& ascDir,
                      const FitraSettings& settings, long double epoch, FitDynamics& dynamics,
                      std::string& message,
                      const std::filesystem::path& addedBodyFile = "STARTING.TVX");

// The fitted body's part of one run.
struct FittedStart {
    Vector3 position{};                   // Gm, J2000 equator, heliocentric frame of the table
    Vector3 velocity{};                   // km/s
    std::array<long double, 3> nonGrav{}; // A1 A2 A3, AU/day^2 (all 0: no force)
    bool setPrecedingMass = false;        // slot 13: the mass of body N - 1
    long double precedingMass = 0;        // 10^24 kg
};

// The states a computed observation needs at one epoch (true velocities).
struct EpochStates {
    Vector3 body{}, bodyVelocity{}; // Gm, Gm/day; heliocentric frame of the table
    Vector3 earth{}, earthVelocity{};
    Vector3 sun{}, sunVelocity{};
};

// Integrates one run from the starting epoch to every epoch of `times`
// (any order; forward and backward arcs are integrated separately).
// `states[k]` belongs to `times[k]`. False with a message when the
// integration fails or the state stops being finite.
bool integrateRun(const FitDynamics& dynamics, const FittedStart& start,
                  const std::vector<long double>& times, std::vector<EpochStates>& states,
                  std::string& message);

} // namespace fitra
