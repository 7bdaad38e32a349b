#include <cmath>

#include "tarvo/libraries/planetary_library.h"

namespace tarvo {
namespace {

constexpr long double daysPerMillennium = 365250.0L;
constexpr long double taperWidth = 0.25L;  // millennia

// The quartic of one side and its derivative at T.
void quartic(const std::array<double, 8>& c, long double T, long double& value, long double& slope)
{
    const int o = T >= 0 ? 4 : 0;
    value = ((((c[o + 3] * T) + c[o + 2]) * T + c[o + 1]) * T + c[o]) * T;
    slope = ((4 * c[o + 3] * T + 3 * c[o + 2]) * T + 2 * c[o + 1]) * T + c[o];
}

}  // namespace

double radialCorrection(const std::array<double, 8>& coefficients, long double t, int dataSet)
{
    const bool older = dataSet >= 7 && dataSet <= 9;
    const long double A = older ? 5 : 10, B = older ? 1 : 9;
    const long double T = t / daysPerMillennium;
    long double value = 0, slope = 0;
    if (T >= -A && T <= B) {
        quartic(coefficients, T, value, slope);
        return static_cast<double>(value);
    }
    long double end = 0, w = 0;
    if (T > B && T < B + taperWidth) end = B, w = taperWidth;
    else if (T < -A && T > -A - taperWidth) end = -A, w = -taperWidth;
    else return 0;
    // A cubic from the end's value and slope to 0 with zero slope at end + w.
    long double P = 0, dP = 0;
    quartic(coefficients, end, P, dP);
    const long double d = T - end;
    const long double a2 = -(2 * dP * w + 3 * P) / (w * w);
    const long double a3 = (w * dP + 2 * P) / (w * w * w);
    return static_cast<double>(P + dP * d + a2 * d * d + a3 * d * d * d);
}

}  // namespace tarvo
