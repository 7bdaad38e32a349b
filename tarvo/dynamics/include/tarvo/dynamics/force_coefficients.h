// Force-model coefficients: the constants of each planetary data set (solar
// oblateness, astronomical unit, the fitted Earth-Moon figure and tidal
// coefficients) and their time-dependent values at a frame epoch.
//
// The fitted Earth-Moon values hold for the spans of the data sets they were
// fitted to (about -3500 .. +2500 years around J2000 for sets 1-6 and
// -3500 .. 0 for sets 7-9 in the central pieces); outside +-15 millennia
// (sets 1-6) the tidal coefficient falls back to its constant base.
#pragma once

#include <array>

namespace tarvo {

// Earth-Moon coefficients of one data set (Gm-based units as tabulated).
struct EarthMoonConstants {
  double C0;   // radial constant
  double C1;   // figure constant, Gm^2
  double CE0;  // Earth J2 base, -7.5 J2 R_E^2, Gm^2
  double CM0;  // lunar figure base, Gm^2
  double CT0;  // tidal base
  double CS;   // solar term
  double CE1, CE2;  // Earth J2 rates per millennium, per millennium^2
  double CM1;       // lunar figure rate per millennium
  std::array<double, 4> P;  // tidal polynomial, central piece, T^1..T^4
  std::array<double, 4> L;  // early piece, Te^2..Te^5
  std::array<double, 3> U;  // late piece, Tl^2..Tl^4
};

// Everything the force model reads besides the body table and the switches.
struct ForceCoefficients {
  int dataSet = 2;
  long double astronomicalUnit = 149.5978707L;  // Gm
  double sunJ2Factor = 1.5334e-07;   // K_sunJ2 = 1.5 J2 R_sun^2, Gm^2
  double baryQuadrupole = 0.001135751;  // K_emb, Gm^2
  double satelliteJ2 = -3.3031434e-07;  // K_J2 = -7.5 J2 R_E^2, Gm^2
  double satelliteJ3 = -1.64307e-12;    // K_J3 = 2.5 J3 R_E^3, Gm^3
  double satelliteJ4 = 1.67146e-15;     // K_J4 = -(5/8) J4 R_E^4, Gm^4
  // g(r) law of the non-gravitational forces, rho^-m (1 + b rho^n)^-k with
  // rho = r / r0 (FITRA.CFG may give other values).
  double gr0 = 2.808;  // AU
  double grM = 2.15, grB = 1.0, grN = 5.093, grK = 4.6142;
  EarthMoonConstants earthMoon{};
  double tidalRadial = 0.0;  // C_TR = C_T0 / 0.040700012
  // Time-dependent values at the frame epoch.
  double earthJ2 = 0.0;      // C_E
  double moonFigure = 0.0;   // C_M
  double tidalTangential = 0.0;  // C_TT
};

/*
** forceCoefficientsForDataSet: constants of planetary data set 1..10.
** Given: dataSet, 1..10 (10 and unknown sets take the data-set-1 Earth-Moon
**   values, as the table's first column holds for any empty entry).
** Returned: coefficients with C_TR derived and the time-dependent values set
**   for J2000 (t = 0, no user tidal factor).
*/
ForceCoefficients forceCoefficientsForDataSet(int dataSet);

/*
** earthMoonConstants: the fitted Earth-Moon table of one data set.
*/
const EarthMoonConstants& earthMoonConstants(int dataSet);

/*
** updateTimeDependentCoefficients: C_E, C_M and C_TT at epoch t.
** Given: t, days from J2000 (TT); tidalFactor, the user's f_tide (0 = use
**   the fitted time polynomial).
** Returned: coefficients.earthJ2, moonFigure, tidalTangential.
** Notes: T = t/365250 (Julian millennia). The central piece is clamped to
**   [-3.5, 2.5] (sets 1-6) or [-3.5, 0] (sets 7-9); the early and late
**   excesses carry their own polynomials; a taper weight brings the tidal
**   polynomial to 0 between 14 and 15 millennia (sets 1-6) or 4.5 and 5 /
**   0.5 and 1 (sets 7-9). Called by the frame routine at every frame epoch.
*/
void updateTimeDependentCoefficients(ForceCoefficients& coefficients, long double t,
                                     double tidalFactor);

// Taper weight of the tidal polynomial at T millennia.
double tidalTaperWeight(int dataSet, double T);

}  // namespace tarvo
