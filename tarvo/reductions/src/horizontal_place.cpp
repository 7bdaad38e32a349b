// Azimuth and altitude of a direction for the current site and sidereal time.
#include "tarvo/reductions/places.h"

#include <cmath>
#include <numbers>

namespace tarvo {

HorizontalPlace toHorizontal(double alpha, double delta, double latitude, double theta) {
    const double hourAngle = theta - alpha;
    const double sinH = std::sin(hourAngle), cosH = std::cos(hourAngle);
    const double sinD = std::sin(delta), cosD = std::cos(delta);
    const double sinP = std::sin(latitude), cosP = std::cos(latitude);
    // Components in the horizon frame: toward the south point, toward the
    // west point and toward the zenith.
    const double south = sinP * cosD * cosH - cosP * sinD;
    const double west = cosD * sinH;
    const double up = sinP * sinD + cosP * cosD * cosH;
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    HorizontalPlace h;
    h.altitudeDeg = std::atan2(up, std::hypot(south, west)) * kDegrees;
    double azimuth = std::atan2(west, south) * kDegrees;
    if (azimuth < 0.0) azimuth += 360.0;
    if (azimuth >= 360.0 || azimuth == 0.0) azimuth = 0.0; // no negative zero, no 360
    h.azimuthDeg = azimuth;
    return h;
}

} // namespace tarvo
