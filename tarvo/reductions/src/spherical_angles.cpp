// Angles of the angular table: right ascension and declination (or ecliptic
// longitude and latitude), the equator-to-ecliptic turn and the rates.
#include "tarvo/reductions/places.h"

#include <cmath>
#include <numbers>

namespace tarvo {

SphericalAngles sphericalAngles(const PlaceVector& v) {
    SphericalAngles a;
    const double rho = std::hypot(v[0], v[1]);
    a.longitude = rho == 0.0 ? 0.0 : std::atan2(v[1], v[0]);
    if (a.longitude < 0.0) a.longitude += 2.0 * std::numbers::pi;
    if (a.longitude >= 2.0 * std::numbers::pi) a.longitude = 0.0; // -tiny + 2π rounds up to 2π
    a.latitude = std::atan2(v[2], rho);
    return a;
}

PlaceVector equatorToEcliptic(const PlaceVector& v, double cosObliquity, double sinObliquity) {
    return {v[0], v[1] * cosObliquity + v[2] * sinObliquity, v[2] * cosObliquity - v[1] * sinObliquity};
}

AngleRates angleRates(const PlaceVector& p, const PlaceVector& v) {
    constexpr double kRadiansPerDayToArcsecPerHour = 180.0 / std::numbers::pi * 150.0; // 150 = 3600/24
    AngleRates r;
    const double rho2 = p[0] * p[0] + p[1] * p[1];
    const double r2 = rho2 + p[2] * p[2];
    if (rho2 > 0.0) {
        const double rho = std::sqrt(rho2);
        r.first = kRadiansPerDayToArcsecPerHour * (p[0] * v[1] - p[1] * v[0]) / rho2;
        r.second = kRadiansPerDayToArcsecPerHour *
                   (v[2] * rho2 - p[2] * (p[0] * v[0] + p[1] * v[1])) / (r2 * rho);
    }
    if (std::fabs(r.first) > 1000.0 || std::fabs(r.second) > 1000.0) {
        r.first /= 3600.0;
        r.second /= 3600.0;
        r.degrees = true;
    }
    const double cosLatitude = r2 > 0.0 ? std::sqrt(rho2 / r2) : 1.0;
    r.positionAngle = 90.0 - std::atan2(r.second, cosLatitude * r.first) * 180.0 / std::numbers::pi;
    if (r.positionAngle < 0.0) r.positionAngle += 360.0;
    if (r.positionAngle >= 360.0) r.positionAngle -= 360.0;
    return r;
}

} // namespace tarvo
