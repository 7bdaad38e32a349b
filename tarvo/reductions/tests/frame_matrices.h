// Matrices implied by the frame rotations, and the ERFA matrices they are
// compared with, for the frame tests.
#pragma once

#include "tarvo/reductions/frames.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>

namespace frametest {

using Matrix = double[3][3];
constexpr double kArcsec = M_PI / 648000.0;

// Matrix taking J2000 *ecliptic* coordinates (the system's ε0) to the frame
// of date that rotateToDate produces (equator, or ecliptic when asked).
inline void systemMatrixFromJ2000Ecliptic(const tarvo::FrameState& frame, bool eclipticOnly,
                                          Matrix m) {
    const long double e0 = tarvo::kObliquityJ2000Arcsec * tarvo::kArcsecToRadians;
    for (int j = 0; j < 3; ++j) {
        long double ecl[3] = {0, 0, 0};
        ecl[j] = 1;
        std::array<long double, 3> v = {ecl[0], ecl[1] * std::cos(e0) - ecl[2] * std::sin(e0),
                                        ecl[1] * std::sin(e0) + ecl[2] * std::cos(e0)};
        tarvo::rotateToDate(frame, v, eclipticOnly);
        for (int i = 0; i < 3; ++i) m[i][j] = static_cast<double>(v[i]);
    }
}

// ERFA precession matrix (J2000 equator -> equator of date) brought to act on
// J2000 ecliptic coordinates with ERFA's ε0 = 84381.406".
inline void erfaMatrixFromJ2000Ecliptic(Matrix rp, Matrix m) {
    double r[3][3];
    eraIr(r);
    eraRx(-84381.406 * kArcsec, r); // ecliptic -> equator of J2000
    eraRxr(rp, r, m);
}

// Largest element difference, arcsec (small-angle measure of the rotation between them).
inline double largestDifferenceArcsec(const Matrix a, const Matrix b) {
    double worst = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) worst = std::max(worst, std::fabs(a[i][j] - b[i][j]));
    return worst / kArcsec;
}

} // namespace frametest
