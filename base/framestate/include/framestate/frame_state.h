// The frame state of the frame epoch: the cosines and sines of the
// precession, nutation and obliquity angles, computed by the reductions
// (computeFrame) and read by the force model, the reductions, the searches
// and the graphics views.  A plain struct below all of them, so that none
// needs another's headers to read it.
//
// Angles inside are radians; epochs are JD2000 day counts in TT.
#pragma once

#include <array>

namespace tarvo {

// A rotation angle kept as its cosine and sine.
struct AnglePair {
    long double cos = 1.0L;
    long double sin = 0.0L;
};
// The cosine and sine of an angle in radians (from the C library, computed
// at run time, so that every program gets the same bits).
AnglePair anglePair(long double angleRadians);

// Obliquity of J2000 used for the J2000 equator <-> J2000 ecliptic step of the
// array rotations (arcsec).
inline constexpr long double kObliquityJ2000Arcsec = 84381.406173L;
// Obliquity of J2000 for orbital elements referred to the J2000 ecliptic (arcsec).
inline constexpr long double kObliquityElementsArcsec = 84381.448L;
// Direction of the Sun's rotation pole, unit vector, J2000 equatorial axes.
inline constexpr std::array<long double, 3> kSunPoleJ2000 = {0.12232L, -0.42317L, 0.89775L};

inline constexpr long double kArcsecToRadians = 3.14159265358979323846264338327950288L / 648000.0L;

// The four precession angles of an epoch, radians, referred to the J2000
// ecliptic and equinox: Π_A, π_A, p_A and ε_A.
struct PrecessionAngles {
    long double nodeLongitude = 0.0L; // Π_A: node of the ecliptic of date on the J2000 ecliptic
    long double inclination = 0.0L;   // π_A: inclination of the ecliptic of date
    long double generalPrecession = 0.0L; // p_A: general precession in longitude
    long double meanObliquity = 0.0L;     // ε_A: mean obliquity of date
};

// Nutation in longitude and obliquity, radians.
struct Nutation {
    long double longitude = 0.0L; // Δψ
    long double obliquity = 0.0L; // Δε
};

// The frame state of the frame epoch: process-wide, read by the force model,
// the reductions, the searches and the graphics views.  Before the first
// computeFrame it is the J2000 frame itself (the rotations are identities).
struct FrameState {
    long double epoch = 0.0L; // days from J2000, TT, of the last computeFrame
    AnglePair obliquityJ2000 = anglePair(kObliquityJ2000Arcsec * kArcsecToRadians); // ε0
    AnglePair obliquityElements =
        anglePair(kObliquityElementsArcsec * kArcsecToRadians);           // 84381.448"
    AnglePair nodeLongitude = anglePair(629546.7936L * kArcsecToRadians); // Π_A
    AnglePair inclination;                                                // π_A
    AnglePair thirdAngle = anglePair(629546.7936L * kArcsecToRadians);    // Λ = Π_A + p_A + Δψ
    AnglePair obliquity = anglePair(kObliquityJ2000Arcsec * kArcsecToRadians); // ε = ε_A + Δε
    PrecessionAngles precession;      // the angles themselves, radians
    Nutation nutation;                // Δψ, Δε in use (zero without nutation), radians
    Nutation principalNutation;       // Δψ₁, Δε₁, always computed, radians
    double equationOfEquinoxes = 0.0; // Δψ₁ cos ε, radians
    std::array<long double, 3> sunPole = kSunPoleJ2000; // equator of the frame epoch
    bool skipRotations = false;
};

} // namespace tarvo
