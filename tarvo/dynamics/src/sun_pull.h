// The Sun's pull on a run of massless minor bodies of the double path, with
// the sums of the pair passes added: the one per-body term of those bodies
// that has to be carried beyond double precision. It runs in double-double
// arithmetic as a vector loop instead of in 80-bit x87 code (one body at a
// time, with every value moved between the x87 and the SSE registers
// through memory): the result is more precise than extended precision and
// rounds to it when read.
#pragma once

#include "tarvo/dynamics/split_extended.h"

namespace tarvo::detail {

struct SunPullInput {
  // Every array starts at the first body of the call. Heliocentric
  // positions come from these barycentric ones (Gm).
  const SplitExtended* x = nullptr;
  const SplitExtended* y = nullptr;
  const SplitExtended* z = nullptr;
  // What the pair passes summed for each body (H^2 a, Gm).
  const double* sumX = nullptr;
  const double* sumY = nullptr;
  const double* sumZ = nullptr;
  // Barycentric Sun (Gm) and its step mass (Gm^3), each as the exact pair
  // hi + lo of its extended value.
  SplitExtended sunX, sunY, sunZ, muSun;
  // The extended model's corrections to the point mass: mass loss, the
  // Sun's oblateness (factor K, pole unit vector) and, when relFactor is not
  // null, relativity (relFactor[j] + relativistic / r). Without the extended
  // model all stay zero and relFactor null.
  double massLoss = 0.0;
  double sunJ2Factor = 0.0;  // K, Gm^2
  double pole[3] = {0.0, 0.0, 0.0};
  const double* relFactor = nullptr;
  double relativistic = 0.0;  // Gm
  // Results: H^2 a (Gm).
  SplitExtended* ax = nullptr;
  SplitExtended* ay = nullptr;
  SplitExtended* az = nullptr;
};

// a_j = -mu_s g_j + sum_j for the count bodies of the arrays, where g_j is
// the Sun's field r / r^3 (1 + correction) + pole term. The same bits on
// every processor: the FMA version is chosen at run time where the
// processor has FMA.
void sunPull(const SunPullInput& in, int count);

// The two versions (the dispatcher's choices; exposed for the tests).
void sunPullPortable(const SunPullInput& in, int count);
bool sunPullFusedAvailable();
void sunPullFused(const SunPullInput& in, int count);

}  // namespace tarvo::detail
