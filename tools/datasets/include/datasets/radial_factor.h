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

/*
** matchPostNewtonianPeriod: the velocity that gives a state the
** post-Newtonian radial period under the model with a fixed radial factor.
** Given: heliocentric position (Gm) and velocity (km/s), the body's radial
**   factor eps (constant for the data set), the Sun's mass (10^24 kg).
** Returned: the velocity scaled along itself so that the model orbit
**   through the state has the radial period of the post-Newtonian orbit
**   through the unscaled state. The position is not touched.
** Notes: a constant factor matches the post-Newtonian period only at some
**   phases of an eccentric orbit: without this, a run drifts in longitude by
**   up to about e * 9 GM/(c^2 a) of the mean motion depending on the record
**   it starts from (Mercury +-100 km per year, the Earth +-2 km per year).
**   The scaling is about 1e-7 of Mercury's speed, 1e-9 of the Earth's. It
**   changes the shape of the model orbit by as much (periodic differences of
**   some 10 km for Mercury, 0.3 km for the Earth).
*/
std::array<long double, 3> matchPostNewtonianPeriod(const std::array<long double, 3>& position,
                                                    const std::array<long double, 3>& velocity, double factor,
                                                    long double sunMass);

}  // namespace datasets
