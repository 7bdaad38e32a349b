// poleFrameAxes, fromPoleFrame, toPoleFrame: axes built on a unit pole.
//
// Given:    pole (a, b, c), unit vector in the reference frame; the convention
//             PoleAsThird: e1 = (a c/r, b c/r, -r), e2 = (-b/r, a/r, 0), e3 = pole
//             PoleAsFirst: e1 = pole, e2 = (-b/r, a/r, 0), e3 = (-a c/r, -b c/r, r)
//           with r = sqrt(a² + b²); a pole along Z is taken as a = 1e-10, b = 0.
// Returned: fromPoleFrame: x e1 + y e2 + z e3; toPoleFrame: (v·e1, v·e2, v·e3)
// Notes:    used by the horizontal and orbit-plane views.  Both conventions
//           give right-handed orthonormal axes for a unit pole.

#include "tarvo/reductions/frames.h"

#include <cmath>

namespace tarvo {

std::array<std::array<long double, 3>, 3> poleFrameAxes(const std::array<long double, 3>& pole,
                                                        PoleAxes convention) {
    long double a = pole[0], b = pole[1];
    const long double c = pole[2];
    if (a == 0.0L && b == 0.0L) a = 1e-10L;
    const long double r = std::sqrt(a * a + b * b);
    const std::array<long double, 3> across = {-b / r, a / r, 0.0L};
    if (convention == PoleAxes::PoleAsThird)
        return {{{a * c / r, b * c / r, -r}, across, {a, b, c}}};
    return {{{a, b, c}, across, {-a * c / r, -b * c / r, r}}};
}

std::array<long double, 3> fromPoleFrame(const std::array<long double, 3>& v,
                                         const std::array<long double, 3>& pole,
                                         PoleAxes convention) {
    const auto e = poleFrameAxes(pole, convention);
    std::array<long double, 3> out{};
    for (int k = 0; k < 3; ++k) out[k] = v[0] * e[0][k] + v[1] * e[1][k] + v[2] * e[2][k];
    return out;
}

std::array<long double, 3> toPoleFrame(const std::array<long double, 3>& v,
                                       const std::array<long double, 3>& pole,
                                       PoleAxes convention) {
    const auto e = poleFrameAxes(pole, convention);
    std::array<long double, 3> out{};
    for (int k = 0; k < 3; ++k) out[k] = v[0] * e[k][0] + v[1] * e[k][1] + v[2] * e[k][2];
    return out;
}

} // namespace tarvo
