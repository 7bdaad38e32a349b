// computeFrame: the frame state of an epoch.
//
// Given:    t        frame epoch, days from J2000.0, TT
//           options  nutation (principal term or 63-term series), Lieske
//                    variant, skip rotations
//           table    long-term precession table
// Returned: in `frame`: the cosines and sines of Π_A, π_A, Λ = Π_A + p_A + Δψ
//           and ε = ε_A + Δε, the angles themselves, the equation of the
//           equinoxes Δψ₁ cos ε (Δψ₁ always the principal term) and the Sun's
//           pole carried into the equator of the epoch.
// Notes:    with skip rotations: ε = ε0, π_A = 0, Λ = 0, Π_A = 629546.7936",
//           no nutation and the Sun's pole left in J2000, so that the array
//           rotations are identities.  The per-body time-dependent
//           coefficients of the force model are computed by the force model
//           from the same epoch.

#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

void computeFrame(FrameState& frame, long double t, const FrameOptions& options,
                  const PrecessionTable& table) {
    frame.epoch = t;
    frame.skipRotations = options.skipRotations;
    const long double tCenturies = t / kDaysPerJulianCentury;
    frame.principalNutation = nutationPrincipal(tCenturies);

    if (options.skipRotations) {
        PrecessionAngles a;
        a.nodeLongitude = 629546.7936L * kArcsecToRadians;
        a.meanObliquity = kObliquityJ2000Arcsec * kArcsecToRadians;
        frame.precession = a;
        frame.nutation = {};
        frame.nodeLongitude = anglePair(a.nodeLongitude);
        frame.inclination = anglePair(0.0L);
        frame.thirdAngle = anglePair(0.0L);
        frame.obliquity = frame.obliquityJ2000;
        frame.equationOfEquinoxes =
            static_cast<double>(frame.principalNutation.longitude * frame.obliquity.cos);
        frame.sunPole = kSunPoleJ2000;
        return;
    }

    const long double tMillennia = t / kDaysPerJulianMillennium;
    const PrecessionAngles a =
        precessionAngles(t, options.lieske && std::fabs(tMillennia) < 2.0L, table);
    frame.precession = a;
    if (options.fullNutation) frame.nutation = nutation1980(tCenturies);
    else if (options.principalNutation) frame.nutation = frame.principalNutation;
    else frame.nutation = {};

    frame.nodeLongitude = anglePair(a.nodeLongitude);
    frame.inclination = anglePair(a.inclination);
    frame.thirdAngle = anglePair(a.nodeLongitude + a.generalPrecession + frame.nutation.longitude);
    frame.obliquity = anglePair(a.meanObliquity + frame.nutation.obliquity);
    frame.equationOfEquinoxes =
        static_cast<double>(frame.principalNutation.longitude * frame.obliquity.cos);

    frame.sunPole = kSunPoleJ2000;
    frame.skipRotations = false;
    rotateToDate(frame, frame.sunPole);
    frame.skipRotations = options.skipRotations;
}

} // namespace tarvo
