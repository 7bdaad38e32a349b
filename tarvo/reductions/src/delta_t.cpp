// deltaT: TT - UT in days, in the four modes of the Delta-T menu.
//
// Given:    t         TT day count from J2000.0
//           settings  mode and the coefficients A (s), B (s/yr), C (s/yr²)
// Returned: ΔT in days
// Notes:    Fixed: A.  Custom: A + B T + C T², T = t/365.25 years from J2000.0.
//           Auto (also Off and any unknown mode): the observed values of the
//           settings' table where it reaches, else the piecewise polynomials
//           of deltaTAutoSeconds.  The mode Off is handled by the callers (ΔT = 0);
//           universalToTerrestrial and terrestrialToUniversal do that here.

#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/time_scales.h"

namespace tarvo {

long double deltaT(long double t, const DeltaTSettings& settings) {
    switch (settings.mode) {
    case DeltaTMode::Fixed:
        return static_cast<long double>(settings.a) / kSecondsPerDay;
    case DeltaTMode::Custom: {
        const long double years = t / kDaysPerJulianYear;
        return (settings.a + years * (settings.b + years * settings.c)) / kSecondsPerDay;
    }
    default: {
        const double year = static_cast<double>(2000.0L + t / kDaysPerJulianYear);
        return static_cast<long double>(deltaTAutoSeconds(year, settings.observed)) /
               kSecondsPerDay;
    }
    }
}

long double universalToTerrestrial(long double tUT, const DeltaTSettings& settings) {
    if (settings.mode == DeltaTMode::Off) return tUT;
    long double t = tUT;
    for (int pass = 0; pass < 2; ++pass) t = tUT + deltaT(t, settings);
    return t;
}

long double terrestrialToUniversal(long double tTT, const DeltaTSettings& settings) {
    if (settings.mode == DeltaTMode::Off) return tTT;
    return tTT - deltaT(tTT, settings);
}

std::string_view timeScaleLabel(const DeltaTSettings& settings) {
    return settings.mode == DeltaTMode::Off ? "TT" : "UT";
}

} // namespace tarvo
