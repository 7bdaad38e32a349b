// rotateToDate, rotateToJ2000, eclipticOfDateToJ2000: array rotations between
// the J2000 equator and the equator (or ecliptic) of the frame epoch.
//
// Given:    frame  the cosines and sines of the last computeFrame
//           arrays of X, Y, Z (extended or double precision), in place
// Returned: the rotated arrays
// Notes:    to date, each step a plane rotation: (Y,Z) by ε0 to the J2000
//           ecliptic; (X,Y) by Π_A; (Y,Z) by π_A; (X,Y) by -Λ to the ecliptic
//           of the epoch, X toward its equinox; (Y,Z) by -ε to the equator of
//           the epoch unless only the ecliptic is wanted.  To J2000 the exact
//           inverse steps in reverse order.  All variants use the same long
//           double arithmetic; a round trip returns the input to about 1e-19
//           relative.  Nothing is done when rotations are skipped.

#include "tarvo/reductions/frames.h"

namespace tarvo {

namespace {

// (P, Q) <- (P cos + Q sin, Q cos - P sin): axes turned by +angle.
inline void turnAxes(long double& p, long double& q, const AnglePair& a) {
    const long double np = p * a.cos + q * a.sin;
    q = q * a.cos - p * a.sin;
    p = np;
}
// (P, Q) <- (P cos - Q sin, Q cos + P sin): axes turned by -angle.
inline void turnAxesBack(long double& p, long double& q, const AnglePair& a) {
    const long double np = p * a.cos - q * a.sin;
    q = q * a.cos + p * a.sin;
    p = np;
}

inline void toDate(const FrameState& f, long double& x, long double& y, long double& z,
                   bool eclipticOnly) {
    turnAxes(y, z, f.obliquityJ2000);
    turnAxes(x, y, f.nodeLongitude);
    turnAxes(y, z, f.inclination);
    turnAxesBack(x, y, f.thirdAngle);
    if (!eclipticOnly) turnAxesBack(y, z, f.obliquity);
}

inline void eclipticToJ2000Ecliptic(const FrameState& f, long double& x, long double& y,
                                    long double& z) {
    turnAxes(x, y, f.thirdAngle);
    turnAxesBack(y, z, f.inclination);
    turnAxesBack(x, y, f.nodeLongitude);
}

inline void toJ2000(const FrameState& f, long double& x, long double& y, long double& z) {
    turnAxes(y, z, f.obliquity);
    eclipticToJ2000Ecliptic(f, x, y, z);
    turnAxesBack(y, z, f.obliquityJ2000);
}

template <typename Real>
void toDateRange(const FrameState& f, std::size_t first, std::size_t last, Real* x, Real* y, Real* z,
                 bool eclipticOnly) {
    if (f.skipRotations) return;
    for (std::size_t i = first; i <= last; ++i) {
        long double a = x[i], b = y[i], c = z[i];
        toDate(f, a, b, c, eclipticOnly);
        x[i] = static_cast<Real>(a);
        y[i] = static_cast<Real>(b);
        z[i] = static_cast<Real>(c);
    }
}

template <typename Real>
void toJ2000Range(const FrameState& f, std::size_t last, Real* x, Real* y, Real* z) {
    if (f.skipRotations) return;
    for (std::size_t i = 0; i <= last; ++i) {
        long double a = x[i], b = y[i], c = z[i];
        toJ2000(f, a, b, c);
        x[i] = static_cast<Real>(a);
        y[i] = static_cast<Real>(b);
        z[i] = static_cast<Real>(c);
    }
}

} // namespace

void rotateToDate(const FrameState& frame, std::size_t first, std::size_t last, long double* x,
                  long double* y, long double* z, bool eclipticOnly) {
    toDateRange(frame, first, last, x, y, z, eclipticOnly);
}

void rotateToDate(const FrameState& frame, std::size_t first, std::size_t last, double* x,
                  double* y, double* z, bool eclipticOnly) {
    toDateRange(frame, first, last, x, y, z, eclipticOnly);
}

void rotateToDate(const FrameState& frame, std::span<const int> indices, long double* x,
                  long double* y, long double* z, bool eclipticOnly) {
    if (frame.skipRotations) return;
    for (const int i : indices) toDate(frame, x[i], y[i], z[i], eclipticOnly);
}

void rotateToDate(const FrameState& frame, std::array<long double, 3>& v, bool eclipticOnly) {
    if (frame.skipRotations) return;
    toDate(frame, v[0], v[1], v[2], eclipticOnly);
}

void rotateToJ2000(const FrameState& frame, std::size_t last, long double* x, long double* y,
                   long double* z) {
    toJ2000Range(frame, last, x, y, z);
}

void rotateToJ2000(const FrameState& frame, std::size_t last, double* x, double* y, double* z) {
    toJ2000Range(frame, last, x, y, z);
}

void rotateToJ2000(const FrameState& frame, std::span<const int> indices, long double* x,
                   long double* y, long double* z) {
    if (frame.skipRotations) return;
    for (const int i : indices) toJ2000(frame, x[i], y[i], z[i]);
}

void rotateToJ2000(const FrameState& frame, std::array<long double, 3>& v) {
    if (frame.skipRotations) return;
    toJ2000(frame, v[0], v[1], v[2]);
}

void eclipticOfDateToJ2000(const FrameState& frame, long double& x, long double& y, long double& z) {
    if (frame.skipRotations) return;
    eclipticToJ2000Ecliptic(frame, x, y, z);
}

} // namespace tarvo
