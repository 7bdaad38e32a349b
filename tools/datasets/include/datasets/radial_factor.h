// The radial factor that makes the suite's simplified relativistic model
// keep the mean motion of the post-Newtonian orbit through a given state.
#pragma once

#include <array>

namespace datasets {

/*
** postNewtonianRadialFactor: per-body addition to the Sun's attraction.
** Given: heliocentric position (Gm) and velocity (km/s) of a body, the
**   Sun's mass (10^24 kg).
** Returned: eps such that the model acceleration -GM r/r^3 (1 + eps +
**   6GM/(c^2 r)) gives, from this state, the radial period of the
**   post-Newtonian test-particle orbit (isotropic coordinates, the frame of
**   the JPL ephemerides). For a circular orbit eps = -9 GM/(c^2 a).
** Notes: the model's energy v^2/2 - GM(1+eps)/r - 3G^2M^2/(c^2 r^2) fixes
**   its radial period 2 pi GM(1+eps)/(-2E)^1.5 exactly (a 1/r^2 potential
**   term leaves it unchanged); the post-Newtonian radial period is
**   2 pi GM/(-2E)^1.5 (1 + 15(-2E)/(8c^2)) with its conserved energy E
**   (Damour & Deruelle 1985, test-particle limit). Both are expanded to first
**   order in 1/c^2. The match holds for the state given; along an eccentric
**   orbit the best constant differs by about e GM/(c^2 a).
** Reference: Damour T., Deruelle N., Ann. Inst. Henri Poincare 43, 107 (1985).
*/
double postNewtonianRadialFactor(const std::array<long double, 3>& position,
                                 const std::array<long double, 3>& velocity, long double sunMass);

}  // namespace datasets
