// Display copies of the body table relative to the chosen centre.
#include "tarvo/reductions/places.h"

#include <cmath>

namespace tarvo {

namespace {

struct Motion {
    PlaceVector position{}, velocity{}, acceleration{};
};

Motion bodyMotion(const AbsoluteStates& s, int i) {
    const auto k = static_cast<std::size_t>(i);
    return {{s.x[k], s.y[k], s.z[k]}, {s.vx[k], s.vy[k], s.vz[k]}, {s.ax[k], s.ay[k], s.az[k]}};
}

void add(Motion& m, const ObserverState& site) {
    for (int k = 0; k < 3; ++k) {
        m.position[k] += site.position[k];
        m.velocity[k] += site.velocity[k];
        m.acceleration[k] += site.acceleration[k];
    }
}

} // namespace

int statesFromCentre(const AbsoluteStates& in, std::size_t count, const CentreSelection& centre,
                     const ObserverState& site, DisplayStates& out, ObserverMotion& observer,
                     ObserverMotion& moonObserver) {
    Motion c;
    int centreIndex = -1;
    switch (centre.kind) {
    case CentreSelection::Kind::Sun: centreIndex = 0; c = bodyMotion(in, 0); break;
    case CentreSelection::Kind::Earth:
        centreIndex = in.earthIndex;
        c = bodyMotion(in, in.earthIndex);
        if (centre.topocentric) add(c, site);
        break;
    case CentreSelection::Kind::Body: centreIndex = centre.bodyIndex; c = bodyMotion(in, centre.bodyIndex); break;
    case CentreSelection::Kind::FixedPoint: c.position = centre.fixedPoint; break;
    }
    const bool centredOnEarth = centre.kind == CentreSelection::Kind::Earth ||
                                (centre.kind == CentreSelection::Kind::Body && centre.bodyIndex == in.earthIndex);
    const Motion earth = bodyMotion(in, in.earthIndex);
    const Motion& moonCentre = centredOnEarth ? c : earth;
    observer = {c.velocity, c.acceleration};
    moonObserver = {moonCentre.velocity, moonCentre.acceleration};
    for (std::size_t i = 0; i < count; ++i) {
        const Motion b = bodyMotion(in, static_cast<int>(i));
        const int index = static_cast<int>(i);
        const bool geocentric = index == in.moonIndex || (in.firstSatellite >= 0 && index >= in.firstSatellite);
        const Motion& from = geocentric ? moonCentre : c;
        out.x[i] = b.position[0] - from.position[0];
        out.y[i] = b.position[1] - from.position[1];
        out.z[i] = b.position[2] - from.position[2];
        out.vx[i] = b.velocity[0] - from.velocity[0];
        out.vy[i] = b.velocity[1] - from.velocity[1];
        out.vz[i] = b.velocity[2] - from.velocity[2];
        out.ax[i] = b.acceleration[0] - from.acceleration[0];
        out.ay[i] = b.acceleration[1] - from.acceleration[1];
        out.az[i] = b.acceleration[2] - from.acceleration[2];
        out.distance[i] = std::sqrt(out.x[i] * out.x[i] + out.y[i] * out.y[i] + out.z[i] * out.z[i]);
    }
    return centreIndex;
}

} // namespace tarvo
