// The observer's site: geodetic coordinates to a geocentric vector, and the
// observer vector (position, velocity, acceleration, local sidereal time) of
// an epoch.
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

PlaceVector siteVectorAt(const ObserverSite& site, double theta) {
    const double sinPhi = std::sin(site.latitude);
    const double cosPhi = std::cos(site.latitude);
    const double w = std::sqrt(1.0 - kEarthEccentricitySquared * sinPhi * sinPhi);
    const double equatorial = (kEarthEquatorialRadiusGm / w + site.heightGm) * cosPhi;
    const double polar =
        (kEarthEquatorialRadiusGm * (1.0 - kEarthEccentricitySquared) / w + site.heightGm) * sinPhi;
    return {equatorial * std::cos(theta), equatorial * std::sin(theta), polar};
}

ObserverState observerStateAt(const ObserverSite& site, double theta, bool topocentric) {
    ObserverState state;
    state.localSiderealTime = theta;
    if (!topocentric) return state;
    const PlaceVector p = siteVectorAt(site, theta);
    state.position = p;
    state.velocity = {-p[1] * kEarthRotationRate, p[0] * kEarthRotationRate, 0.0};
    state.acceleration = {-p[0] * kEarthRotationRateSquared, -p[1] * kEarthRotationRateSquared, 0.0};
    return state;
}

ObserverState observerVector(const ObserverSite& site, long double t, long double deltaTDays,
                             double equationOfEquinoxes, bool topocentric) {
    return observerStateAt(site,
                           static_cast<double>(siderealTime(t - deltaTDays, site.longitude)) +
                               equationOfEquinoxes,
                           topocentric);
}

} // namespace tarvo
