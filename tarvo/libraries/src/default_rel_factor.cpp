#include <cmath>

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {

double defaultRelFactor(const std::array<long double, 3>& position, const std::array<long double, 3>& velocity,
                        long double sunMass)
{
    const long double r = std::sqrt(position[0] * position[0] + position[1] * position[1] + position[2] * position[2]);
    long double v2 = 0;
    for (long double v : velocity) v2 += (v * kmPerSecondToGmPerDay) * (v * kmPerSecondToGmPerDay);
    if (!(r > 0)) return 0;  // no orbit about the Sun to speak of
    const long double energy = v2 / 2 - gravitationalConstant * sunMass / r;  // Gm^2/day^2
    const long double c2 = speedOfLight * speedOfLight;
    return static_cast<double>((energy <= 0 ? 18 : 2) * energy / c2);
}

}  // namespace tarvo
