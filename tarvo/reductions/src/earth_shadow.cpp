// The Earth's shadow cone, for the magnitudes of artificial satellites.
#include "tarvo/reductions/places.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

bool inEarthShadow(const PlaceVector& body, const PlaceVector& sun) {
    constexpr double kSunRadiusGm = 0.69595;
    const double sunDistance = std::sqrt(sun[0] * sun[0] + sun[1] * sun[1] + sun[2] * sun[2]);
    const double bodyDistance = std::sqrt(body[0] * body[0] + body[1] * body[1] + body[2] * body[2]);
    if (sunDistance == 0.0 || bodyDistance == 0.0) return false;
    // Distance along the anti-Sun axis and from the axis.
    const double along = -(body[0] * sun[0] + body[1] * sun[1] + body[2] * sun[2]) / sunDistance;
    if (along <= 0.0) return false; // on the day side
    const double across = std::sqrt(std::max(0.0, bodyDistance * bodyDistance - along * along));
    // Umbra: radius R_E at the Earth shrinking to 0 at the apex.
    const double apex = kEarthEquatorialRadiusGm * sunDistance / (kSunRadiusGm - kEarthEquatorialRadiusGm);
    if (along >= apex) return false;
    return across < kEarthEquatorialRadiusGm * (1.0 - along / apex);
}

} // namespace tarvo
