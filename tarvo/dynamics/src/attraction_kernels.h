// Attraction kernels: one attracting body on a contiguous range of bodies,
// optionally summing what the attracting body gains back. The double
// version is written for the vector units (one clone for AVX2, one
// portable); the extended version is plain x87 code.
#pragma once

#include <cmath>

namespace tarvo::detail {

// Attraction of one body (xi, yi, zi, step mass mi) on the bodies b..e:
// a_j -= mi (x_j - x_i) / r^3. weight (may be null) scales the pull per
// body; with back != null the attracting body's gain, the sum of
// gm_j (x_j - x_i) / r^3 (times the weight), is added to back[0..2].
void attractDouble(const double* px, const double* py, const double* pz, const double* gm,
                   double* ax, double* ay, double* az, int b, int e, double xi, double yi,
                   double zi, double mi, const double* weight, double* back);
// rho3[p] = 1 / |(dx, dy, dz)[p]|^3 for p = 0 .. count - 1.
void inverseCubes(const double* dx, const double* dy, const double* dz, double* rho3,
                  int count);
void attractExtended(const long double* px, const long double* py, const long double* pz,
                     const long double* gm, long double* ax, long double* ay, long double* az,
                     int b, int e, long double xi, long double yi, long double zi,
                     long double mi, const double* weight, long double* back);

inline void attractBodies(const double* px, const double* py, const double* pz,
                          const double* gm, double* ax, double* ay, double* az, int b, int e,
                          double xi, double yi, double zi, double mi, const double* weight,
                          double* back) {
  attractDouble(px, py, pz, gm, ax, ay, az, b, e, xi, yi, zi, mi, weight, back);
}

inline void attractBodies(const long double* px, const long double* py, const long double* pz,
                          const long double* gm, long double* ax, long double* ay,
                          long double* az, int b, int e, long double xi, long double yi,
                          long double zi, long double mi, const double* weight,
                          long double* back) {
  attractExtended(px, py, pz, gm, ax, ay, az, b, e, xi, yi, zi, mi, weight, back);
}

}  // namespace tarvo::detail
