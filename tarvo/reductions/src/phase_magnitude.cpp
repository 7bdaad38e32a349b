// Elongation from the Sun and the Moon, illuminated fraction and magnitude.
#include "tarvo/reductions/places.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kMagnitudeCap = 99.9;
constexpr double kSunMagnitudeAtOneAu = -26.86;
constexpr double kInverseAuSquared = 4.46e-5; // Gm⁻², the magnitude law's 1/AU²

PlaceVector minus(const PlaceVector& a, const PlaceVector& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const PlaceVector& a, const PlaceVector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const PlaceVector& a) { return std::sqrt(dot(a, a)); }
double clampedAcos(double c) { return std::acos(std::clamp(c, -1.0, 1.0)); }
// Sign of the z component of a x b, zero counting as +.
double turnSign(const PlaceVector& a, const PlaceVector& b) { return a[0] * b[1] - a[1] * b[0] < 0.0 ? -1.0 : 1.0; }

} // namespace

PhaseAndMagnitude phaseAndMagnitude(int bodyIndex, const PlaceVector& body, const PlaceVector& observer,
                                    const PlaceVector& sun, const PlaceVector& moon, const MagnitudeData& data,
                                    double astronomicalUnitGm, bool withLunarElongation) {
    PhaseAndMagnitude out;
    const PlaceVector seen = minus(body, observer);       // P - O
    const PlaceVector fromSun = minus(observer, sun);     // O - S
    const PlaceVector fromMoon = minus(observer, moon);   // O - L
    const double delta = norm(seen);
    if (withLunarElongation) {
        const double d = delta * norm(fromMoon);
        if (d > 0.0)
            out.lunarElongationDeg = clampedAcos(-dot(seen, fromMoon) / d) * kDegrees * turnSign(seen, fromMoon);
    }
    if (delta == 0.0) { // the centre body itself
        out.magnitudeShown = false;
        out.lunarElongationDeg = 0.0;
        return out;
    }
    if (bodyIndex == 0) {
        out.magnitude = kSunMagnitudeAtOneAu + 5.0 * std::log10(delta / astronomicalUnitGm);
        out.magnitude = std::min(out.magnitude, kMagnitudeCap);
        return out;
    }
    const double r = norm(minus(body, sun));
    const double bigR = norm(fromSun);
    if (r == 0.0) { // at the Sun's centre: nothing to illuminate
        out.magnitudeShown = false;
        return out;
    }
    const double cosPhase = (delta * delta + r * r - bigR * bigR) / (2.0 * r * delta);
    const double k = (1.0 + std::clamp(cosPhase, -1.0, 1.0)) / 2.0;
    out.illuminatedFraction = k;
    if (bigR > 0.0)
        out.elongationDeg = clampedAcos((bigR * bigR + delta * delta - r * r) / (2.0 * bigR * delta)) * kDegrees *
                            turnSign(seen, fromSun);
    if (data.comet) {
        out.magnitude = data.absoluteMagnitude + 5.0 * std::log10(delta / astronomicalUnitGm) +
                        data.cometSlope * std::log10(r / astronomicalUnitGm);
    } else if (k <= 0.0) {
        out.magnitude = kMagnitudeCap;
    } else {
        const double beta = bodyIndex == 1 ? -1.5 : bodyIndex == 2 ? -0.8 : -1.0;
        const double k4 = k * k * k * k;
        out.magnitude = data.absoluteMagnitude +
                        5.0 * std::log10(kInverseAuSquared * r * delta / std::sqrt(k * std::exp(beta * (1.0 - k4))));
    }
    if (!(out.magnitude <= kMagnitudeCap)) out.magnitude = kMagnitudeCap;
    return out;
}

} // namespace tarvo
