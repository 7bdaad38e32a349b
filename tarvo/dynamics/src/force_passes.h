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
  const ForceSplitBodies& split;  // bodies split.first .. N: positions and results as pairs
  int N = 0;
  int earth = 0;
  int moon = 0;
  int lastMajor = 0;
  int lastMassive = 0;
  bool moonIn = false;
  bool extendedModel = true;
  bool doublePath = true;
  bool earthFigure = false;  // the Earth acts on flagged minor bodies through its figure
  long double moonInvDistSq = 0.0L;  // R2: inverse squared heliocentric distance of the Moon
  // The Earth-Moon pair's terms: a_Moon -= moonPull, a_Earth += earthPull.
  long double moonPull[3] = {0.0L, 0.0L, 0.0L};
  long double earthPull[3] = {0.0L, 0.0L, 0.0L};
  bool earthMoonPair = false;
  // Geocentric Moon vector, Gm (the stored position).
  long double moonGeoX = 0.0L, moonGeoY = 0.0L, moonGeoZ = 0.0L;
};

// Step 3 and the summation (step 7) for bodies b..e: acc[j] = the Sun's
// pull (extended), plus in this order the non-gravitational force (minor
// bodies without option C), the Earth's figure (flagged minor bodies), the
// Earth-Moon pair's terms and the accumulated double or extended sums of the
// pair passes, stored once. With option C or for massive bodies the Sun's
// gain is added to sunGain in index order. Runs after the pair passes.
void sunAndSum(PassContext& c, int b, int e, long double sunGain[3]);

// The bodies up to lastMassive: sunAndSum, then acc[0] = their gains and the
// minor-body chunks' gains in chunk order.
void sunPass(PassContext& c);

// 1/r from the Sun of the bodies up to lastMassive (the massive bodies are
// never split). Runs before the pair passes, which read it, and the Sun's
// pass relies on it.
void massiveSunDistances(PassContext& c);

// R2 of the Moon: its inverse squared distance from the Sun (barycentric
// Moon), as the Sun's pull computes it; read from massiveSunDistances when
// the Moon is among the bodies it covers.
long double moonInverseDistanceSquared(const PassContext& c);

// Step 4: mutual attraction of the major bodies into the accumulators, the
// Earth-Moon pair with its figure and tidal terms into moonPull, earthPull.
void majorPairsPass(PassContext& c);

// Steps 2, 3, 5, 6 and 7 for the bodies above lastMajor, chunk by chunk in
// one parallel loop: double copies, majors and perturbing asteroids (and the
// minor-minor pairs of option C), then sunAndSum for the bodies above
// lastMassive. The majors' gains go to the majors' accumulators, the Sun's
// gains per chunk to work.sunPartial.
void minorBodiesPass(PassContext& c);

// Position of body j, whichever form the call gives it in.
inline long double positionX(const PassContext& c, int j) {
  return j >= c.split.first ? c.split.x[j].value() : c.in.x[j];
}
inline long double positionY(const PassContext& c, int j) {
  return j >= c.split.first ? c.split.y[j].value() : c.in.y[j];
}
inline long double positionZ(const PassContext& c, int j) {
  return j >= c.split.first ? c.split.z[j].value() : c.in.z[j];
}

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
