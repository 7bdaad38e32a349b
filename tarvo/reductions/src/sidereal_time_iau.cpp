// earthRotationAngle, greenwichSiderealTimeIau: the Earth's rotation in the
// IAU model.
//
// Given:    ut1Days (UT1 day count), ttDays (TT day count), the equation of
//           the equinoxes (radians)
// Returned: radians in [0, 2π)
// Notes:    ERA = 2π (0.7790572732640 + 1.00273781191135448 Du), the whole
//           days of Du dropped first so that the angle keeps its precision;
//           GMST = ERA + (0.014506 + 4612.156534 T + 1.3915817 T²
//           - 0.00000044 T³ - 0.000029956 T⁴ - 0.0000000368 T⁵)", T in TT
//           centuries.  Against eraEra00 and eraGmst06: 1e-15 rad.
// Reference: IERS Conventions 2010, eq. 5.15 and 5.32; Capitaine et al. (2003).

#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

namespace {
constexpr long double kTwoPi = 6.28318530717958647692528676655900577L;

long double reduced(long double angle) {
    const long double r = std::fmod(angle, kTwoPi);
    return r < 0 ? r + kTwoPi : r;
}
} // namespace

long double earthRotationAngle(long double ut1Days) {
    const long double wholeDays = std::floor(ut1Days);
    const long double fraction = ut1Days - wholeDays;
    const long double turns = fraction + 0.7790572732640L + 0.00273781191135448L * ut1Days;
    return reduced(kTwoPi * (turns - std::floor(turns)));
}

long double greenwichSiderealTimeIau(long double ut1Days, long double ttDays,
                                     double equationOfEquinoxes) {
    const long double t = ttDays / kDaysPerJulianCentury;
    const long double polynomialArcsec =
        0.014506L +
        t * (4612.156534L +
             t * (1.3915817L + t * (-0.00000044L + t * (-0.000029956L - 0.0000000368L * t))));
    return reduced(earthRotationAngle(ut1Days) + polynomialArcsec * kArcsecToRadians +
                   equationOfEquinoxes);
}

} // namespace tarvo
