// Elements of the page: the display state turned into the chosen reference
// plane, then the state-to-elements conversion of the state files.
#include "tarvo/reductions/page_elements.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

ElementFrame eclipticElementFrame() {
    const long double obliquity = elementsObliquityArcsec * 3.14159265358979323846264338327950288L / 648000.0L;
    ElementFrame f;
    f.cosObliquity = static_cast<double>(std::cos(obliquity));
    f.sinObliquity = static_cast<double>(std::sin(obliquity));
    return f;
}

CartesianState toElementPlane(const ElementFrame& frame, const CartesianState& state) {
    CartesianState s = state;
    if (frame.plane == ReferencePlane::Equator) return s;
    for (auto* v : {&s.position, &s.velocity}) {
        const long double y = (*v)[1], z = (*v)[2];
        (*v)[1] = y * frame.cosObliquity + z * frame.sinObliquity;
        (*v)[2] = z * frame.cosObliquity - y * frame.sinObliquity;
    }
    if (frame.plane == ReferencePlane::CentreOrbit || frame.plane == ReferencePlane::MeanPlane) {
        const PlaneRecord& p = frame.plane == ReferencePlane::CentreOrbit ? frame.centreOrbit : frame.meanPlane;
        toPlaneFrame(s.position[0], s.position[1], s.position[2], p);
        toPlaneFrame(s.velocity[0], s.velocity[1], s.velocity[2], p);
    }
    return s;
}

OsculatingElements pageElements(long double gravityConstant, long double massRatio, long double astronomicalUnit,
                                 const ElementFrame& frame, const CartesianState& state) {
    ElementPlane noRotation;
    noRotation.equator = true; // already in the wanted axes
    return stateToElements(gravityConstant, massRatio, astronomicalUnit, noRotation, toElementPlane(frame, state));
}

long double timeSincePerihelion(const OsculatingElements& e) {
    long double m = e.meanAnomaly;
    if (e.eccentricity < 1.0L && m > 180.0L) m -= 360.0L;
    return e.meanMotion != 0.0L ? m / e.meanMotion : 0.0L;
}

long double orbitalPeriodDays(const OsculatingElements& e) {
    if (e.semiMajorAxis > 0.0L && e.semiMajorAxis < 1e7L && e.meanMotion > 0.0L) return 360.0L / e.meanMotion;
    return 0.0L;
}

long double perihelionLongitude(const OsculatingElements& e) {
    long double w = e.ascendingNode + e.argumentOfPerihelion;
    w -= 360.0L * std::floor(w / 360.0L);
    return w >= 360.0L ? 0.0L : w;
}

long double tisserandParameter(const OsculatingElements& e) {
    constexpr long double kJupiterSemiMajorAxis = 5.202L; // AU
    const long double a = e.semiMajorAxis;
    const long double cosI = std::cos(e.inclination * 3.14159265358979323846264338327950288L / 180.0L);
    const long double p = std::max(0.0L, a * (1.0L - e.eccentricity * e.eccentricity));
    return kJupiterSemiMajorAxis / a + 2.0L * cosI * std::sqrt(p / kJupiterSemiMajorAxis);
}

} // namespace tarvo
