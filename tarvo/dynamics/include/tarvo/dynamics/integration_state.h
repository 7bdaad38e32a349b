// Integration state: the process-wide scalars of a run that the force model
// and the integrator share (epoch, step, direction, order, model switches
// and the constants derived from the loaded state).
#pragma once

#include <cstdint>

#include "tarvo/dynamics/body_table.h"

namespace tarvo {

enum class NonGravLaw { marsden, yarkovsky };

// Extra-option switches that reach the force model (defaults at start-up).
struct ForceOptions {
  double tidalFactor = 0.0;        // A: 0 = data-set default
  bool minorPerturb = false;       // C: minor bodies attract majors and the Sun
  bool relativityMinor = true;     // D: relativistic and radial terms on minor bodies
  bool extendedModel = true;       // E: off = pure Newtonian point masses
  bool solarMassLoss = false;      // F
  bool extendedAccumulation = false;  // H: mutual terms summed in extended precision
  NonGravLaw nonGravMode = NonGravLaw::marsden;  // Y
  bool asymmetricModel = false;    // <: time-shifted g(r) for bodies with tau != 0
  bool singleImpulse = false;      // ^: the driver applies the bodies' impulses
};

// Constants derived when a state is loaded.
struct DerivedConstants {
  long double muSun = 0.0L;        // G * mass[0], Gm^3/day^2
  long double muEarth = 0.0L;      // G * mass[earthIndex], Gm^3/day^2
  long double relativistic = 0.0L; // 6 G mass[0] / c^2, Gm
};

struct IntegrationState {
  long double epoch = 0.0L;        // days from J2000, TT
  // Rounding carried by compensated summation of the epoch (advanceEpoch);
  // code that sets the epoch directly sets this to 0.
  long double epochCarry = 0.0L;
  long double step = 3.0L;         // h, days, always positive
  long double previousStep = 1.0L; // step before the last change, days
  int direction = 1;               // +1 forward, -1 backward
  long double nominalStep = 3.0L;  // days
  int orderCode = 6;               // M: 6, 7 or 8 (0..8 accepted by the integrator)
  bool adaptive = false;           // "Adaptive Stepsize On"
  int dataSet = 2;                 // 1..10
  bool satelliteMode = false;
  bool fullFileMode = false;
  ForceOptions options;
  DerivedConstants derived;
  long double solarMassLossFactor = 0.0L;  // m_loss, set by the driver before every attempt
  // The collision trap flagged a body since the last checkpoint, which then
  // writes at once and keeps a copy (EJEC file).
  bool collisionEvent = false;
};

/*
** deriveConstants: mu_Sun, mu_Earth and the relativistic coefficient.
** Given: table (mass[0], mass[earthIndex]).
** Returned: mu in Gm^3/day^2, K_rel = 6 G M_sun / c^2 in Gm (about 8.86e-6 Gm
**   for the Sun's mass of 1988500 x 10^24 kg).
*/
DerivedConstants deriveConstants(const BodyTable& table);

/*
** advanceEpoch: epoch += dt with compensated summation, so that thousands
** of equal steps do not accumulate a one-sided rounding (which reaches
** 1e-11 day over a century of 3-day steps with plain addition).
*/
void advanceEpoch(IntegrationState& state, long double dt);

/*
** orderCodeFromOption: Extra Options item G (0, -1, 1) to the order code M:
** 0 -> 6, 1 -> 8, -1 and anything else -> 7.
*/
int orderCodeFromOption(int optionValue);

}  // namespace tarvo
