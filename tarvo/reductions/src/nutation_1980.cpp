// nutation1980: nutation in longitude and obliquity, 63-term series of the
// 1980 IAU theory of nutation.
//
// Given:    tCenturies  Julian centuries from J2000.0, TT
// Returned: Δψ, Δε in radians
// Notes:    the terms of the 106-term theory with amplitude of 0.0003" or more
//           (63 in Δψ, 38 of them with a Δε term), amplitudes in 0.0001" of
//           the form a + b T with b in single precision, and Meeus' cubic
//           fundamental arguments.  Against the complete theory the omitted
//           terms and argument differences stay below 0.003" in Δψ and
//           0.002" in Δε over 1800-2200 (measured; see the documentation).
// Reference: Meeus, Astronomical Algorithms, 2nd ed., chapter 22, table 22.A;
//            Seidelmann 1982, Celest. Mech. 27, 79.

#include "tarvo/reductions/frames.h"

#include <cmath>

namespace tarvo {

namespace {

struct NutationTerm {
    int d, m, mPrime, f, node; // multiples of D, M, M', F, Ω
    double psiSine;            // Δψ: coefficient of sin, 0.0001"
    float psiSineRate;         //      its rate per Julian century
    double epsCosine;          // Δε: coefficient of cos, 0.0001"
    float epsCosineRate;       //      its rate per Julian century
};

// Meeus table 22.A, row for row.
constexpr NutationTerm kTerms[63] = {
    {0, 0, 0, 0, 1, -171996, -174.2f, 92025, 8.9f},
    {-2, 0, 0, 2, 2, -13187, -1.6f, 5736, -3.1f},
    {0, 0, 0, 2, 2, -2274, -0.2f, 977, -0.5f},
    {0, 0, 0, 0, 2, 2062, 0.2f, -895, 0.5f},
    {0, 1, 0, 0, 0, 1426, -3.4f, 54, -0.1f},
    {0, 0, 1, 0, 0, 712, 0.1f, -7, 0.0f},
    {-2, 1, 0, 2, 2, -517, 1.2f, 224, -0.6f},
    {0, 0, 0, 2, 1, -386, -0.4f, 200, 0.0f},
    {0, 0, 1, 2, 2, -301, 0.0f, 129, -0.1f},
    {-2, -1, 0, 2, 2, 217, -0.5f, -95, 0.3f},
    {-2, 0, 1, 0, 0, -158, 0.0f, 0, 0.0f},
    {-2, 0, 0, 2, 1, 129, 0.1f, -70, 0.0f},
    {0, 0, -1, 2, 2, 123, 0.0f, -53, 0.0f},
    {2, 0, 0, 0, 0, 63, 0.0f, 0, 0.0f},
    {0, 0, 1, 0, 1, 63, 0.1f, -33, 0.0f},
    {2, 0, -1, 2, 2, -59, 0.0f, 26, 0.0f},
    {0, 0, -1, 0, 1, -58, -0.1f, 32, 0.0f},
    {0, 0, 1, 2, 1, -51, 0.0f, 27, 0.0f},
    {-2, 0, 2, 0, 0, 48, 0.0f, 0, 0.0f},
    {0, 0, -2, 2, 1, 46, 0.0f, -24, 0.0f},
    {2, 0, 0, 2, 2, -38, 0.0f, 16, 0.0f},
    {0, 0, 2, 2, 2, -31, 0.0f, 13, 0.0f},
    {0, 0, 2, 0, 0, 29, 0.0f, 0, 0.0f},
    {-2, 0, 1, 2, 2, 29, 0.0f, -12, 0.0f},
    {0, 0, 0, 2, 0, 26, 0.0f, 0, 0.0f},
    {-2, 0, 0, 2, 0, -22, 0.0f, 0, 0.0f},
    {0, 0, -1, 2, 1, 21, 0.0f, -10, 0.0f},
    {0, 2, 0, 0, 0, 17, -0.1f, 0, 0.0f},
    {2, 0, -1, 0, 1, 16, 0.0f, -8, 0.0f},
    {-2, 2, 0, 2, 2, -16, 0.1f, 7, 0.0f},
    {0, 1, 0, 0, 1, -15, 0.0f, 9, 0.0f},
    {-2, 0, 1, 0, 1, -13, 0.0f, 7, 0.0f},
    {0, -1, 0, 0, 1, -12, 0.0f, 6, 0.0f},
    {0, 0, 2, -2, 0, 11, 0.0f, 0, 0.0f},
    {2, 0, -1, 2, 1, -10, 0.0f, 5, 0.0f},
    {2, 0, 1, 2, 2, -8, 0.0f, 3, 0.0f},
    {0, 1, 0, 2, 2, 7, 0.0f, -3, 0.0f},
    {-2, 1, 1, 0, 0, -7, 0.0f, 0, 0.0f},
    {0, -1, 0, 2, 2, -7, 0.0f, 3, 0.0f},
    {2, 0, 0, 2, 1, -7, 0.0f, 3, 0.0f},
    {2, 0, 1, 0, 0, 6, 0.0f, 0, 0.0f},
    {-2, 0, 2, 2, 2, 6, 0.0f, -3, 0.0f},
    {-2, 0, 1, 2, 1, 6, 0.0f, -3, 0.0f},
    {2, 0, -2, 0, 1, -6, 0.0f, 3, 0.0f},
    {2, 0, 0, 0, 1, -6, 0.0f, 3, 0.0f},
    {0, -1, 1, 0, 0, 5, 0.0f, 0, 0.0f},
    {-2, -1, 0, 2, 1, -5, 0.0f, 3, 0.0f},
    {-2, 0, 0, 0, 1, -5, 0.0f, 3, 0.0f},
    {0, 0, 2, 2, 1, -5, 0.0f, 3, 0.0f},
    {-2, 0, 2, 0, 1, 4, 0.0f, 0, 0.0f},
    {-2, 1, 0, 2, 1, 4, 0.0f, 0, 0.0f},
    {0, 0, 1, -2, 0, 4, 0.0f, 0, 0.0f},
    {-1, 0, 1, 0, 0, -4, 0.0f, 0, 0.0f},
    {-2, 1, 0, 0, 0, -4, 0.0f, 0, 0.0f},
    {1, 0, 0, 0, 0, -4, 0.0f, 0, 0.0f},
    {0, 0, 1, 2, 0, 3, 0.0f, 0, 0.0f},
    {0, 0, -2, 2, 2, -3, 0.0f, 0, 0.0f},
    {-1, -1, 1, 0, 0, -3, 0.0f, 0, 0.0f},
    {0, 1, 1, 0, 0, -3, 0.0f, 0, 0.0f},
    {0, -1, 1, 2, 2, -3, 0.0f, 0, 0.0f},
    {2, -1, -1, 2, 2, -3, 0.0f, 0, 0.0f},
    {0, 0, 3, 2, 2, -3, 0.0f, 0, 0.0f},
    {2, -1, 0, 2, 2, -3, 0.0f, 0, 0.0f},
};

constexpr long double kPi = 3.14159265358979323846264338327950288L;

long double reducedDegrees(long double degrees) { return std::fmod(degrees, 360.0L) * (kPi / 180.0L); }

} // namespace

Nutation nutation1980(long double tCenturies) {
    const long double t = tCenturies;
    const long double d =
        reducedDegrees(297.85036L + t * (445267.11148L + t * (-0.0019142L + t / 189474.0L)));
    const long double m =
        reducedDegrees(357.52772L + t * (35999.05034L + t * (-0.0001603L - t / 300000.0L)));
    const long double mPrime =
        reducedDegrees(134.96298L + t * (477198.867398L + t * (0.0086972L + t / 56250.0L)));
    const long double f =
        reducedDegrees(93.27191L + t * (483202.017538L + t * (-0.0036825L + t / 327270.0L)));
    const long double node =
        reducedDegrees(125.04452L + t * (-1934.136261L + t * (0.0020708L + t / 450000.0L)));

    long double psi = 0.0L, eps = 0.0L; // 0.0001"
    for (const NutationTerm& term : kTerms) {
        const long double argument =
            term.d * d + term.m * m + term.mPrime * mPrime + term.f * f + term.node * node;
        psi += (term.psiSine + static_cast<long double>(term.psiSineRate) * t) * std::sin(argument);
        if (term.epsCosine != 0.0)
            eps += (term.epsCosine + static_cast<long double>(term.epsCosineRate) * t) *
                   std::cos(argument);
    }
    const long double toRadians = kPi / 180.0L / 36000000.0L;
    return {psi * toRadians, eps * toRadians};
}

} // namespace tarvo
