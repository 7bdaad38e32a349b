// First-order light-time and aberration correction of the display copies.
// The integrated state is never touched: the run loop corrects copies.
#include "tarvo/reductions/places.h"

#include <cmath>

namespace tarvo {

namespace {
double dot(const PlaceVector& a, const PlaceVector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
} // namespace

RelativeState lightTimeCorrected(const RelativeState& relative, const ObserverMotion& observer,
                                 const CorrectionSwitches& switches) {
    if (!switches.lightTime) return relative;
    const double rho = std::sqrt(dot(relative.position, relative.position));
    if (rho == 0.0) return relative;
    const double tau = rho / kSpeedOfLightGmPerDay;                        // days
    const double tauRate = dot(relative.position, relative.velocity) / rho / kSpeedOfLightGmPerDay;
    // The body's own motion is the relative motion plus the observer's; with
    // aberration the observer's part stays out (A = 1).
    const double keepObserver = switches.aberration ? 0.0 : 1.0;
    RelativeState out = relative;
    for (int k = 0; k < 3; ++k) {
        const double v = relative.velocity[k] + keepObserver * observer.velocity[k];
        const double a = relative.acceleration[k] + keepObserver * observer.acceleration[k];
        out.position[k] = relative.position[k] - tau * v;
        out.velocity[k] = relative.velocity[k] - tau * a - tauRate * v;
    }
    return out;
}

void correctLightTime(DisplayStates& s, std::size_t count, int centre, const ObserverMotion& observer,
                      int moonIndex, const ObserverMotion& moonObserver,
                      const CorrectionSwitches& switches, int firstSatellite) {
    for (std::size_t i = 0; i < count; ++i) {
        RelativeState r{{s.x[i], s.y[i], s.z[i]}, {s.vx[i], s.vy[i], s.vz[i]}, {s.ax[i], s.ay[i], s.az[i]}};
        s.distance[i] = std::sqrt(dot(r.position, r.position));
        if (static_cast<int>(i) == centre) continue;
        const int index = static_cast<int>(i);
        const bool seenFromEarth = index == moonIndex || (firstSatellite >= 0 && index >= firstSatellite);
        const ObserverMotion& o = seenFromEarth ? moonObserver : observer;
        const RelativeState c = lightTimeCorrected(r, o, switches);
        s.x[i] = c.position[0];
        s.y[i] = c.position[1];
        s.z[i] = c.position[2];
        s.vx[i] = c.velocity[0];
        s.vy[i] = c.velocity[1];
        s.vz[i] = c.velocity[2];
    }
}

} // namespace tarvo
