// Attraction kernels of the pair passes: the double version as a vector
// loop (an AVX2 clone chosen at load time where the processor has it, and a
// portable clone), the extended version in x87 arithmetic. Summation order
// within a call is fixed by the clone, so a given machine always gives the
// same bits.
#include "attraction_kernels.h"

#include <cmath>

namespace tarvo::detail {

#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define TARVO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TARVO_VECTOR_CLONES
#endif

// Attraction of one body (xi, yi, zi, step mass mi) on the bodies b..e.
// weight (may be null) scales the pull per body; with back != null the
// attracting body's gain is summed (step masses gm of the attracted bodies).
TARVO_VECTOR_CLONES
void attractDouble(const double* __restrict px, const double* __restrict py,
                   const double* __restrict pz, const double* __restrict gm,
                   double* __restrict ax, double* __restrict ay, double* __restrict az, int b,
                   int e, double xi, double yi, double zi, double mi,
                   const double* __restrict weight, double* back) {
  if (back == nullptr) {
    if (weight == nullptr) {
#pragma omp simd
      for (int j = b; j <= e; ++j) {
        const double dx = px[j] - xi, dy = py[j] - yi, dz = pz[j] - zi;
        const double r2 = dx * dx + dy * dy + dz * dz;
        const double f = mi / (r2 * std::sqrt(r2));
        ax[j] -= f * dx;
        ay[j] -= f * dy;
        az[j] -= f * dz;
      }
    } else {
#pragma omp simd
      for (int j = b; j <= e; ++j) {
        const double dx = px[j] - xi, dy = py[j] - yi, dz = pz[j] - zi;
        const double r2 = dx * dx + dy * dy + dz * dz;
        const double f = weight[j] * mi / (r2 * std::sqrt(r2));
        ax[j] -= f * dx;
        ay[j] -= f * dy;
        az[j] -= f * dz;
      }
    }
    return;
  }
  double bx = 0.0, by = 0.0, bz = 0.0;
#pragma omp simd reduction(+ : bx, by, bz)
  for (int j = b; j <= e; ++j) {
    const double dx = px[j] - xi, dy = py[j] - yi, dz = pz[j] - zi;
    const double r2 = dx * dx + dy * dy + dz * dz;
    const double rho3 = (weight == nullptr ? 1.0 : weight[j]) / (r2 * std::sqrt(r2));
    const double f = mi * rho3;
    ax[j] -= f * dx;
    ay[j] -= f * dy;
    az[j] -= f * dz;
    const double g = gm[j] * rho3;
    bx += g * dx;
    by += g * dy;
    bz += g * dz;
  }
  back[0] += bx;
  back[1] += by;
  back[2] += bz;
}

void attractExtended(const long double* px, const long double* py, const long double* pz,
                     const long double* gm, long double* ax, long double* ay, long double* az,
                     int b, int e, long double xi, long double yi, long double zi,
                     long double mi, const double* weight, long double* back) {
  long double bx = 0.0L, by = 0.0L, bz = 0.0L;
  for (int j = b; j <= e; ++j) {
    const long double dx = px[j] - xi, dy = py[j] - yi, dz = pz[j] - zi;
    const long double r2 = dx * dx + dy * dy + dz * dz;
    long double rho3 = 1.0L / (r2 * std::sqrt(r2));
    if (weight != nullptr) rho3 *= weight[j];
    const long double f = mi * rho3;
    ax[j] -= f * dx;
    ay[j] -= f * dy;
    az[j] -= f * dz;
    if (back != nullptr) {
      const long double g = gm[j] * rho3;
      bx += g * dx;
      by += g * dy;
      bz += g * dz;
    }
  }
  if (back != nullptr) {
    back[0] += bx;
    back[1] += by;
    back[2] += bz;
  }
}

TARVO_VECTOR_CLONES
void inverseCubes(const double* __restrict dx, const double* __restrict dy,
                  const double* __restrict dz, double* __restrict rho3, int count) {
#pragma omp simd
  for (int p = 0; p < count; ++p) {
    const double r2 = dx[p] * dx[p] + dy[p] * dy[p] + dz[p] * dz[p];
    rho3[p] = 1.0 / (r2 * std::sqrt(r2));
  }
}

}  // namespace tarvo::detail
