// Impacts: when a refined minimum of distance is smaller than the sum of the
// two radii, the moment of first contact inside the step, and when the first
// body is the Earth, the ground point, the speed relative to the ground and
// the direction the body comes from. One line of IMPACT.DAT per impact.
#pragma once

#include "tarvo/dynamics/step_hook.h"
#include "tarvo/reductions/time_scales.h"

#include <string>

namespace tarvo {

// The Earth's figure for impacts.
inline constexpr long double kImpactEarthRadius = 0.00637814L; // Gm
inline constexpr long double kGeodeticFactor = 1.006739495L;   // 1 / (1 - e^2)
inline constexpr long double kImpactRotationRate = 6.3003881L; // rad/day

struct Impact {
    int a = 0, b = 0;
    long double time = 0.0L;     // TT, days from J2000
    long double distance = 0.0L; // Gm, at contact
    long double speed = 0.0L;    // km/s, relative (to the ground when a is the Earth)
    bool ground = false;         // the geographic columns are set
    long double longitude = 0.0L, latitude = 0.0L; // degrees, east positive, geodetic
    long double azimuth = 0.0L, altitude = 0.0L;   // degrees, from the south through west
};

/*
** contactFraction: the fraction of the step, between lo and hi, at which the
** distance of bodies a and b falls to R (Gm), by bisection; the distance at
** lo is above R, at hi not above it.
*/
long double contactFraction(const StepEnds& step, int a, int b, long double lo, long double hi,
                            long double R);

/*
** impactPoint: the contact of bodies a and b, whose minimum lies at the
** fraction pMin of `step` (absolute states). When they already overlap at
** the start of the step the contact is sought in `previous` (null: the
** step start is taken). `aIsEarth`: the ground point is computed, with the
** sidereal time of the contact's UT from Delta-T in Auto mode.
*/
Impact impactPoint(const StepEnds& step, const StepEnds* previous, int a, int b, long double pMin,
                   long double radiusA, long double radiusB, bool aIsEarth,
                   const DeltaTSettings& deltaTAuto, double equationOfEquinoxes);

// The header of IMPACT.DAT and one of its lines.
std::string impactHeader();
std::string impactLine(const Impact& impact, const std::string& bodyA, const std::string& bodyB);

} // namespace tarvo
