// deltaTAutoSeconds: ΔT = TT - UT of the Auto mode, seconds.
//
// Given:    year  y = 2000 + t/365.25 (t TT days from J2000.0: y counts from
//                 2000 January 1.5, not January 1.0)
// Returned: ΔT in seconds
// Notes:    the branch is chosen by y rounded to the nearest integer, halves to
//           even (a boundary given as 1600 is crossed at y = 1599.5); u and τ
//           use the unrounded y.  Historical fits up to 2005, the Morrison–
//           Stephenson parabola -20 + 32 u² outside -500 ... 2150 and a linear
//           correction 2050-2150 that makes it join.  Accuracy: the published
//           uncertainty of the fits, some seconds in the 17th-19th centuries
//           and hours in antiquity.  The branches do not join exactly: see the
//           documentation of the time scales for the measured steps.
// Reference: Espenak & Meeus, Five Millennium Canon of Solar Eclipses (2006);
//            Morrison & Stephenson (2004).

#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

namespace {

double roundHalfEven(double v) {
    const double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) return 2.0 * std::round(v / 2.0);
    return r;
}

// Σ c[i] x^i by Horner's rule.
template <std::size_t N> double poly(const double (&c)[N], double x) {
    double sum = 0.0;
    for (std::size_t i = N; i-- > 0;) sum = sum * x + c[i];
    return sum;
}

} // namespace

double deltaTAutoSeconds(double y) {
    const double branch = roundHalfEven(y);
    const auto parabola = [y] {
        const double u = (y - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u;
    };
    if (branch < -500.0) return parabola();
    if (branch < 500.0) {
        static constexpr double c[] = {10583.6,       -1014.41,     33.78311,    -5.952053,
                                       -0.1798452,    0.022174192,  0.0090316521};
        return poly(c, y / 100.0);
    }
    if (branch < 1600.0) {
        static constexpr double c[] = {1574.2,     -556.01,      71.23472,    0.319781,
                                       -0.8503463, -0.005050998, 0.0083572073};
        return poly(c, (y - 1000.0) / 100.0);
    }
    if (branch < 1700.0) {
        static constexpr double c[] = {120.0, -0.9808, -0.01532, 1.0 / 7129.0};
        return poly(c, y - 1600.0);
    }
    if (branch < 1800.0) {
        static constexpr double c[] = {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0};
        return poly(c, y - 1700.0);
    }
    if (branch < 1860.0) {
        static constexpr double c[] = {13.72,       -0.332447,     0.0068612,
                                       0.0041116,   -0.00037436,   0.0000121272,
                                       -0.0000001699, 0.000000000875};
        return poly(c, y - 1800.0);
    }
    if (branch < 1900.0) {
        // The constant 7.62 is held in single precision.
        static constexpr double c[] = {static_cast<double>(7.62f), 0.5737, -0.251754,
                                       0.01680668, -0.0004473624, 1.0 / 233174.0};
        return poly(c, y - 1860.0);
    }
    if (branch < 1920.0) {
        static constexpr double c[] = {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197};
        return poly(c, y - 1900.0);
    }
    if (branch < 1941.0) {
        static constexpr double c[] = {21.2, 0.84493, -0.0761, 0.0020936};
        return poly(c, y - 1920.0);
    }
    if (branch < 1961.0) {
        static constexpr double c[] = {29.07, 0.407, -0.00429185, 1.0 / 2547.0};
        return poly(c, y - 1950.0);
    }
    if (branch < 1986.0) {
        static constexpr double c[] = {45.45, 1.067, -0.0038462, -1.0 / 718.0};
        return poly(c, y - 1975.0);
    }
    if (branch < 2011.0) {
        static constexpr double c[] = {63.8303,      0.329225,      -0.0522713,  0.0027282,
                                       0.000432392, -0.00001419196, -0.00000144749};
        return poly(c, y - 2000.0);
    }
    if (branch < 2020.0) {
        static constexpr double c[] = {73.897, -1.89, 0.14084, -0.00283};
        return poly(c, y - 2000.0);
    }
    if (branch < 2050.0) {
        static constexpr double c[] = {61.42, 0.32217, 0.005589};
        return poly(c, y - 2000.0);
    }
    if (branch < 2150.0) return parabola() - 0.5628 * (2150.0 - y);
    return parabola();
}

} // namespace tarvo
