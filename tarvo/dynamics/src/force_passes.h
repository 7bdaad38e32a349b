// Passes of the force model over the body table, in the order
// computeAccelerations runs them. Internal to the dynamics library.
#pragma once

#include "tarvo/dynamics/force_model.h"

namespace tarvo::detail {

// Minor bodies are handled in chunks of this many: the chunks, not the
// threads, fix the order of every sum, so results do not depend on the
// number of threads.
inline constexpr int forceChunkSize = 256;

struct PassContext {
  const BodyTable& table;
  const IntegrationState& state;
  ForceModel& model;
  const ForceInput& in;
  const ForceCall& call;
  Accelerations& acc;
  int N = 0;
  int earth = 0;
  int moon = 0;
  int lastMajor = 0;
  int lastMassive = 0;
  bool moonIn = false;
  bool extendedModel = true;
  bool doublePath = true;
  long double moonInvDistSq = 0.0L;  // R2: inverse squared heliocentric distance of the Moon
  // Geocentric Moon vector, Gm (the stored position).
  long double moonGeoX = 0.0L, moonGeoY = 0.0L, moonGeoZ = 0.0L;
};

// Step 3: the Sun on every body (extended), with its back-reaction and the
// non-gravitational forces of minor bodies.
void sunPass(PassContext& c);

// Step 4: mutual attraction of the major bodies, the Earth-Moon pair with
// its figure and tidal terms.
void majorPairsPass(PassContext& c);

// Steps 5 and 6 (and the minor-minor pairs of option C): majors and
// perturbing asteroids on the minor bodies.
void minorBodiesPass(PassContext& c);

// True when body i gets the Earth's field through its figure (J2 within
// 4 Gm) or the satellite field rather than as a point mass.
inline bool earthActsThroughFigure(const PassContext& c, int j) {
  if (j <= c.lastMajor || c.earth < 1 || c.earth > c.lastMajor) return false;
  if (c.state.satelliteMode) return true;
  return c.extendedModel && c.table.earthFigureFlag[j] != suiteFalse;
}


// Extended-precision acceleration of minor body j by the Earth's figure or
// satellite field, H^2 included; back holds what the Earth gains when j
// attracts it (point-mass part).
void earthFigureOnMinor(const PassContext& c, int j, long double a[3], long double back[3]);

}  // namespace tarvo::detail
