#include "datasets/radial_factor.h"

#include <cmath>

#include "tarvo/dynamics/physical_constants.h"

namespace datasets {

double postNewtonianRadialFactor(const std::array<long double, 3>& position,
                                 const std::array<long double, 3>& velocity, long double sunMass)
{
    const long double c2 = tarvo::speedOfLight * tarvo::speedOfLight;  // Gm^2/day^2
    const long double gm = tarvo::gravitationalConstant * sunMass;     // Gm^3/day^2
    const long double r = std::sqrt(position[0] * position[0] + position[1] * position[1] + position[2] * position[2]);
    long double v2 = 0;
    for (long double v : velocity) v2 += (v * tarvo::kmPerSecondToGmPerDay) * (v * tarvo::kmPerSecondToGmPerDay);
    if (!(r > 0)) return 0;
    const long double X = 2 * gm / r - v2;  // -2 E, Newtonian
    if (!(X > 0)) return 0;                 // unbound: no period to keep
    const long double u = gm / r;
    // eps (3u/X - 1) = -(3/(c^2 X)) (3v^4/8 + 3u v^2/2 + u^2/2) - 15X/(8c^2) - 9u^2/(c^2 X)
    const long double rhs = -(3 / (c2 * X)) * (3 * v2 * v2 / 8 + 1.5L * u * v2 + u * u / 2) - 15 * X / (8 * c2) -
                            9 * u * u / (c2 * X);
    return static_cast<double>(rhs / (3 * u / X - 1));
}

std::array<long double, 3> matchPostNewtonianPeriod(const std::array<long double, 3>& position,
                                                    const std::array<long double, 3>& velocity, double factor,
                                                    long double sunMass)
{
    const long double c2 = tarvo::speedOfLight * tarvo::speedOfLight;
    const long double gm = tarvo::gravitationalConstant * sunMass;
    const long double r = std::sqrt(position[0] * position[0] + position[1] * position[1] + position[2] * position[2]);
    long double v2 = 0;
    for (long double v : velocity) v2 += (v * tarvo::kmPerSecondToGmPerDay) * (v * tarvo::kmPerSecondToGmPerDay);
    if (!(r > 0) || !(v2 > 0)) return velocity;
    // -2 E of the model through the state with a factor eps.
    auto X = [&](long double eps, long double speed2) {
        return 2 * gm * (1 + eps) / r + 6 * gm * gm / (c2 * r * r) - speed2;
    };
    const long double matching = postNewtonianRadialFactor(position, velocity, sunMass);
    const long double Xm = X(matching, v2);
    if (!(Xm > 0)) return velocity;
    // Same n = X^1.5 / (GM (1 + eps)) with the data set's factor.
    const long double wanted = Xm * std::cbrt(((1 + factor) / (1 + matching)) * ((1 + factor) / (1 + matching)));
    const long double speed2 = X(factor, 0) - wanted;
    if (!(speed2 > 0)) return velocity;
    const long double scale = std::sqrt(speed2 / v2);
    return {velocity[0] * scale, velocity[1] * scale, velocity[2] * scale};
}

}  // namespace datasets
