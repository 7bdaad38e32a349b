// Times of rising, transit and setting of a body that moves linearly from
// the epoch of its state, seen from the observer's site.
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace tarvo {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kMaximumPasses = 6;
constexpr double kOffsetTolerance = 1e-7; // rad, about 1.4 ms of time

double reduceToHalfTurn(double angle) {
    angle = std::remainder(angle, kTwoPi);
    return angle;
}

// Hour angle at which the body's centre stands at altitude -h0; nullopt when
// it never gets there (circumpolar or never rising at this latitude).
std::optional<double> eventHourAngle(RiseSetEvent event, double delta, double latitude, double h0) {
    if (event == RiseSetEvent::Transit) return 0.0;
    const double denominator = std::cos(latitude) * std::cos(delta);
    if (!(denominator > 1e-300)) return std::nullopt;
    const double cosH0 = (-std::sin(h0) - std::sin(latitude) * std::sin(delta)) / denominator;
    if (!(std::fabs(cosH0) <= 1.0)) return std::nullopt;
    return -static_cast<int>(event) * std::acos(cosH0);
}

} // namespace

double horizonDepression(double heightGm, double radiusGm, double distanceGm, const RiseSetToggles& toggles) {
    const double heightKm = 1e6 * heightGm;
    const double ratio = 6378.0 / (6378.0 + heightKm);
    // Below sea level there is no dip (and no arccosine of a value above 1).
    double h0 = heightKm > 0.0 ? std::acos(std::clamp(ratio, -1.0, 1.0)) : 0.0;
    if (toggles.refraction) h0 += kRefractionAtHorizon;
    if (toggles.limb && distanceGm > 0.0) h0 += radiusGm / distanceGm;
    return h0;
}

RiseSetResult riseTransitSet(RiseSetEvent event, long double t, const PlaceVector& position,
                             const PlaceVector& velocity, const ObserverSite& site, double theta,
                             bool topocentric, double h0) {
    const auto directionAt = [&](double dt) {
        PlaceVector p{position[0] + dt * velocity[0], position[1] + dt * velocity[1],
                      position[2] + dt * velocity[2]};
        if (topocentric) {
            const PlaceVector s = siteVectorAt(site, theta + kSiderealRateRiseSet * dt);
            for (int k = 0; k < 3; ++k) p[k] -= s[k];
        }
        return sphericalAngles(p);
    };
    RiseSetResult result;
    SphericalAngles a = directionAt(0.0);
    std::optional<double> h0Angle = eventHourAngle(event, a.latitude, site.latitude, h0);
    if (!h0Angle) return result;
    double offset = reduceToHalfTurn(*h0Angle - (theta - a.longitude));
    for (int pass = 0; pass < kMaximumPasses; ++pass) {
        a = directionAt(offset / kSiderealRateRiseSet);
        h0Angle = eventHourAngle(event, a.latitude, site.latitude, h0);
        if (!h0Angle) return result; // the motion took it out of reach
        double next = a.longitude + *h0Angle - theta;
        next = offset + reduceToHalfTurn(next - offset);
        const bool converged = std::fabs(next - offset) < kOffsetTolerance;
        offset = next;
        if (converged) break;
    }
    result.occurs = true;
    result.time = t + static_cast<long double>(offset / kSiderealRateRiseSet);
    return result;
}

std::string riseSetText(const RiseSetResult& result, long double deltaTDays, bool localTime,
                        double eastLongitude) {
    if (!result.occurs) return "     ";
    return daysToCalendar(result.time - deltaTDays + 0.5L, localTime, eastLongitude).shortTimeText;
}

} // namespace tarvo
