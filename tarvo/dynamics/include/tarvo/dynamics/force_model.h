// Force model: the acceleration of every body of the table, multiplied by
// the square of the (sub)step it is asked for.
//
// Newtonian point masses plus, with the extended model, the Sun's oblateness,
// a simplified relativistic term (exact secular perihelion advance, no
// periodic post-Newtonian terms), per-body radial factors, solar mass loss,
// the Earth-Moon figure and tidal terms, the Earth-Moon barycentre quadrupole,
// the Earth's J2 on nearby minor bodies, non-gravitational forces of comets
// and, for geocentric satellites, J2, J3, J4 and a crude exponential drag.
// The cost is O(N_major^2 + N_major * N_minor): minor bodies attract one
// another only with option C, where the cost becomes O(N_minor^2).
#pragma once

#include <array>
#include <vector>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_coefficients.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/split_extended.h"

namespace tarvo {

// The frame quantities of the frame epoch that the force model reads
// (filled from the frame state of the reductions at every frame epoch).
struct ForceFrame {
  long double cosObliquity = 0.9174821430652419L;   // cos eps of the frame epoch (J2000 default)
  long double sinObliquity = 0.3977769691126060L;   // sin eps
  std::array<long double, 3> sunPole = {0.12232L, -0.42317L, 0.89775L};  // unit, equator of epoch
};

// Acceleration arrays (H^2 times the acceleration, Gm), one entry per slot.
struct Accelerations {
  std::vector<long double> x, y, z;
  void resize(std::size_t n) {
    x.assign(n, 0.0L);
    y.assign(n, 0.0L);
    z.assign(n, 0.0L);
  }
};

// Positions and velocity-like vectors at which the forces are wanted. The
// velocity arrays hold direction * v * velocityStep (the step velocities of
// the table, or the stage increments inside a stage); only the
// non-gravitational forces and the drag read them.
struct ForceInput {
  long double* x;
  long double* y;
  long double* z;
  const long double* vx;
  const long double* vy;
  const long double* vz;
  long double velocityStep;  // days: the step the velocity arrays are scaled by
};

// Which call of an extrapolation step this is.
enum class ForceCallMode { substep = 0, stepStart = 1, stepEnd = 2 };

struct ForceCall {
  long double H = 1.0L;  // (sub)step, days; the step masses must be set for H^2
  ForceCallMode mode = ForceCallMode::substep;
  int substep = 0;       // k: the call evaluates the state k substeps into the stage
  int substeps = 1;      // n: substeps of the stage
};

// Work arrays of the force model, and the per-body coefficients of the
// asymmetric non-gravitational model that persist between calls.
struct ForceWork {
  std::vector<double> px, py, pz, gm;       // double copies for the double path
  std::vector<double> ax, ay, az;           // double accumulators
  // The Sun's pass: 1/r as two doubles, the double inputs and results of the
  // corrections.
  std::vector<double> sunInvHi, sunInvLo, sunXd, sunYd, sunZd, sunRho2, sunRho3;
  std::vector<double> sunCorrection, sunPoleTerm;
  std::vector<long double> exAx, exAy, exAz;  // extended accumulators
  std::vector<long double> savedX, savedY, savedZ;  // geocentric Moon/satellites
  std::vector<long double> figX, figY, figZ;  // the Earth's figure on flagged minor bodies
  std::vector<long double> sunPartial;      // the Sun's gain from each chunk of minor bodies
  std::vector<double> notEarthFigure;       // 0 where the Earth acts through its figure
  std::vector<double> asymC0, asymC1, asymC2;  // delayed-distance quadratic, Gm
  std::vector<std::int32_t> asymActive;
  std::vector<double> pairDx, pairDy, pairDz, pairRho3;  // major pairs, row by row
  std::size_t slots = 0;
  void ensure(std::size_t n);
};

// Everything the force model reads besides the body table.
struct ForceModel {
  ForceCoefficients coefficients = forceCoefficientsForDataSet(2);
  ForceFrame frame;
  ForceWork work;
};

/*
** computeAccelerations: H^2 times the acceleration of bodies 0 .. N.
** Given: table (masses, stepMass set for H^2, layout, per-body data),
**   state (switches, direction, derived constants, solar mass-loss factor),
**   model (coefficients, frame), in (positions in Gm in the frame of the
**   epoch, Moon and satellites geocentric; velocity-like arrays), call.
** Returned: acc for bodies 0 .. N (Gm, i.e. H^2 * Gm/day^2); for the Moon and
**   satellites the geocentric acceleration. The input positions are left as
**   they were (saved and restored bit for bit).
** Notes: pairs between majors and minors run in double precision unless
**   option H is set; the Sun's attraction and every special term stay
**   extended. The minor-body passes may run on several threads; every sum
**   is taken in a fixed order, so the result does not depend on the number
**   of threads.
*/
void computeAccelerations(const BodyTable& table, const IntegrationState& state,
                          ForceModel& model, const ForceInput& in, const ForceCall& call,
                          Accelerations& acc);

// Bodies first .. N of a call whose positions are given, and whose
// accelerations are returned, as exact double pairs instead of through the
// extended arrays (which are then neither read nor written for them). The
// extrapolation step uses it for the massless minor bodies on the double
// path, where the 80-bit stores of these arrays cost more than the pairs.
struct ForceSplitBodies {
  int first = 0;
  const SplitExtended* x = nullptr;  // positions, Gm
  const SplitExtended* y = nullptr;
  const SplitExtended* z = nullptr;
  SplitExtended* ax = nullptr;       // H^2 a, Gm
  SplitExtended* ay = nullptr;
  SplitExtended* az = nullptr;
};

/*
** splitBodiesFrom: the first body a call may pass as ForceSplitBodies:
** lastMassive + 1 on the double path without option C, satellite mode or
** forces that read velocities (velocitiesRead); N + 1 (none) otherwise.
*/
int splitBodiesFrom(const BodyTable& table, const IntegrationState& state, bool velocitiesRead);

/*
** computeAccelerations with bodies split.first .. N in split form (first
** as splitBodiesFrom gives it, or N + 1 for none). The values are those of
** the call above bit for bit.
*/
void computeAccelerations(const BodyTable& table, const IntegrationState& state,
                          ForceModel& model, const ForceInput& in, const ForceCall& call,
                          Accelerations& acc, const ForceSplitBodies& split);

/*
** Acceleration of a geocentric satellite by the Earth's zonal field and drag
** (H^2 included). Given: geocentric position r (Gm) and velocity v (Gm/day,
** true sense of time), muH2 = G M_E H^2, C2 = K_J2, C3 = K_J3, C4 = K_J4,
** dragFactor = H^2 A1 (0: no drag). Returned: acceleration times H^2.
** Accuracy: the gradient of mu/r (1 - sum J_n (R/r)^n P_n(sin phi)), n = 2..4,
** to rounding.
*/
std::array<long double, 3> satelliteFieldAcceleration(const std::array<long double, 3>& r,
                                                      const std::array<long double, 3>& v,
                                                      long double muH2, double C2, double C3,
                                                      double C4, double dragFactor);

/*
** solveKepler: distance on an ellipse at mean anomaly M.
** Given: a (Gm), e (0 <= e < 1), M (radians).
** Returned: r = a (1 - e cos E) in Gm, and E (radians).
** Notes: Halley iteration from E = M, at most 1000 rounds, stops when
**   |dE| < 1e-13; returns the last iterate otherwise.
*/
struct KeplerSolution {
  double r;
  double E;
};
KeplerSolution solveKepler(double a, double e, double M);

/*
** nonGravitationalAcceleration: H^2 times the comet force of body i.
** Given: heliocentric r (Gm) and velocity-like w (any positive scale times
**   direction * v), delayed distance (Gm; <= 0 means use |r|), H (days).
** Returned: acceleration times H^2 in the frame of r.
*/
std::array<long double, 3> nonGravitationalAcceleration(const BodyTable& table,
                                                        const IntegrationState& state,
                                                        const ForceCoefficients& coefficients,
                                                        int i, const std::array<double, 3>& r,
                                                        const std::array<double, 3>& w,
                                                        double delayedDistance, long double H);

/*
** refreshAsymmetricModel: the quadratic of the delayed distance of body i
** over the step ahead. Given heliocentric r (Gm), velocity v (Gm/day, true
** sense of time), mu (Gm^3/day^2), tau (days), direction, step h (days).
** Returned: false (model off for this body) for unbound, circular or
** degenerate orbits; c0, c1, c2 in Gm otherwise.
*/
bool asymmetricDistanceQuadratic(const std::array<double, 3>& r, const std::array<double, 3>& v,
                                 double mu, double tau, int direction, double h,
                                 std::array<double, 3>& c);

}  // namespace tarvo
