// rotateAbout: one plane rotation applied to arrays of coordinate pairs.
//
// Given:    last            entries 0 ... last inclusive
//           p, q            the two coordinate arrays, in place
//           cosAngle, sinAngle  the rotation angle as cosine and sine
// Returned: P' = P cos - Q sin, Q' = P sin + Q cos
// Notes:    used with the frame's angle pairs and by the graphics views.

#include "tarvo/reductions/frames.h"

namespace tarvo {

void rotateAbout(std::size_t last, long double* p, long double* q, long double cosAngle,
                 long double sinAngle) {
    for (std::size_t i = 0; i <= last; ++i) {
        const long double np = p[i] * cosAngle - q[i] * sinAngle;
        q[i] = p[i] * sinAngle + q[i] * cosAngle;
        p[i] = np;
    }
}

void rotateAbout(std::size_t last, double* p, double* q, double cosAngle, double sinAngle) {
    for (std::size_t i = 0; i <= last; ++i) {
        const double np = p[i] * cosAngle - q[i] * sinAngle;
        q[i] = p[i] * sinAngle + q[i] * cosAngle;
        p[i] = np;
    }
}

} // namespace tarvo
