// siderealTime, apparentSiderealTime, formatSiderealTime.
//
// Given:    d       UT day count from J2000.0 (UT1 when the user's Delta-T is right)
//           lambda  east longitude, radians (0 for Greenwich)
// Returned: mean sidereal time, radians, reduced to [0, 2π); the apparent time
//           adds the equation of the equinoxes after the reduction
// Notes:    θ = 280.46061837° + r d + 2.907879e-13° d² - 5.3016e-22° d³, the
//           1982 IAU expression of Greenwich mean sidereal time written in
//           days.  The daily rate r is taken exactly from that expression,
//           360° (1 + 8640184.812866 s / (36525 · 86400 s)) = 360.985647366286°:
//           the value 360.98564736629° rounded to 11 decimals would put the
//           result 4.8e-9 rad off at 1800 and 2200.  Agrees with the IAU
//           routine to about 1e-12 rad over 1800-2200.
// Reference: Meeus, Astronomical Algorithms, 2nd ed., eq. 12.4; Aoki et al. (1982).

#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kTwoPi = 2.0L * kPi;
} // namespace

long double siderealTime(long double d, long double eastLongitudeRadians) {
    constexpr long double kDegreesPerDay = 360.0L + 360.0L * 8640184.812866L / (36525.0L * 86400.0L);
    const long double degrees =
        280.46061837L + d * (kDegreesPerDay + d * (2.907879e-13L - 5.3016e-22L * d));
    const long double theta = degrees * (kPi / 180.0L) + eastLongitudeRadians;
    return theta - kTwoPi * std::floor(theta / kTwoPi);
}

long double apparentSiderealTime(long double d, long double eastLongitudeRadians,
                                 double equationOfEquinoxes) {
    return siderealTime(d, eastLongitudeRadians) + equationOfEquinoxes;
}

std::string formatSiderealTime(long double theta) {
    long double hours = theta * 12.0L / kPi;
    // Tenths of a second, rounded, so that 59.96 s carries into the minute.
    long long tenths = std::llround(hours * 36000.0L);
    tenths %= 24LL * 36000LL;
    if (tenths < 0) tenths += 24LL * 36000LL;
    const long long h = tenths / 36000, m = (tenths / 600) % 60, s10 = tenths % 600;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%lld", h, m, s10 / 10, s10 % 10);
    return text;
}

} // namespace tarvo
