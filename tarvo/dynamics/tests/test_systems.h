// Test systems for the dynamics tests: the Sun, the planets and the Moon from
// approximate mean elements of J2000 (ecliptic axes), two-body problems with
// their analytic solution, and belts of minor bodies.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/integrator.h"

namespace tarvo::testing {

using Vec3 = std::array<long double, 3>;

struct StateVector {
  Vec3 r;  // Gm
  Vec3 v;  // Gm/day
};

// Mass of the Sun (10^24 kg) for which G M equals Gauss's k^2 AU^3 / day^2.
long double sunMassGauss();

// Position and velocity on a Kepler orbit: a (Gm), e, angles in degrees,
// mu in Gm^3/day^2. Oracle of the two-body tests.
StateVector keplerState(long double mu, long double a, long double e, long double iDeg,
                        long double nodeDeg, long double perihelionArgDeg,
                        long double meanAnomalyDeg);

// Advances the mean anomaly of a two-body state by dt days (analytic).
StateVector keplerPropagate(long double mu, const StateVector& s, long double dt);

// Sun + 9 planets + Moon (data-set-3 layout, Moon at 10); optionally the
// three big asteroids of the major block (data-set-2 layout) and `minors`
// massless belt asteroids after them. Velocities in Gm/day (not yet scaled).
void buildSolarSystem(BodyTable& table, IntegrationState& state, bool withAsteroids,
                      int minors, std::uint32_t seed = 12345);

// Rotates the whole table from ecliptic to equatorial axes of J2000 (about
// x by the obliquity 84381.406"), as the force model expects.
void toEquatorial(BodyTable& table);

// Sun + one body on a Kepler orbit (data-set-5 layout shrunk to two bodies).
void buildTwoBody(BodyTable& table, IntegrationState& state, long double bodyMass,
                  const StateVector& relative);

// Integrates `steps` nominal steps; false on an integrator error.
bool integrate(BodyTable& table, IntegrationState& state, ForceModel& model,
               Integrator& integrator, long steps);

// True position and velocity (Gm, Gm/day) of body i, Moon and satellites made
// barycentric, velocities unscaled by step and direction.
StateVector trueState(const BodyTable& table, const IntegrationState& state, int i);

// Total energy (10^24 kg Gm^2/day^2) of the point-mass system.
long double totalEnergy(const BodyTable& table, const IntegrationState& state);

long double distance(const Vec3& a, const Vec3& b);
long double length(const Vec3& a);

// A measured figure for RecordProperty, 4 significant digits.
std::string scientific(long double value);

}  // namespace tarvo::testing
