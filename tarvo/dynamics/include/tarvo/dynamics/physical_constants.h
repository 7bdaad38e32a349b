// Physical constants shared by the body table, the force model and the
// integrator. Units are the suite's own: Gm, days, 10^24 kg.
#pragma once

namespace tarvo {

// Gravitational constant, Gm^3 / (10^24 kg * day^2).
inline constexpr long double gravitationalConstant = 0.0004980621312L;
// Speed of light, Gm/day.
inline constexpr long double speedOfLight = 25902.06837L;
// Astronomical unit, Gm: data sets 1-6 and the rest, and data sets 7-9.
inline constexpr long double astronomicalUnit = 149.5978707L;
inline constexpr long double astronomicalUnitOld = 149.597870691L;
// km/s to Gm/day.
inline constexpr long double kmPerSecondToGmPerDay = 0.0864L;

// Earth figure, Gm.
inline constexpr double earthEquatorialRadius = 0.006378137;  // Gm
inline constexpr double earthEccentricitySquared = 0.006694378;
// Distance below which a minor body feels the Earth's J2 (Gm).
inline constexpr double earthFigureRange = 4.0;

}  // namespace tarvo
