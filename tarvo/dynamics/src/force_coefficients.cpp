// Per-data-set force constants and the time-dependent Earth-Moon
// coefficients recomputed at every frame epoch.
#include "tarvo/dynamics/force_coefficients.h"

#include <algorithm>

#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

namespace {

// Earth-Moon coefficients as fitted per data set. Data set 1 also serves
// sets 6 and 10 and fills the empty C_0 entries of sets 2 and 3.
constexpr EarthMoonConstants kEarthMoonSet1 = {
    -5.336e-08, 6.485077525e-08, -3.303195216e-07, -6.37728332e-09, 5.13561446e-15,
    2.64503076e-05, 2.36965e-12, 5.953833e-16, 8.23585e-12,
    {-2.34371446e-18, -1.1415263e-19, 2.8410499e-20, 1.6509223e-20},
    {1.552035e-18, 2.968636e-19, 7.824009e-20, 7.709734e-21},
    {4.938762e-19, -3.173073e-19, 3.943882e-20}};
constexpr EarthMoonConstants kEarthMoonSet2 = {
    -5.336e-08, 6.4838554e-08, -3.3032218e-07, -6.375169e-09, 5.13553502e-15,
    2.672624e-05, -7.9209155e-13, -1.1931157e-13, 1.051704e-11,
    {-2.34293345e-18, -1.15401876e-19, 2.58947663e-20, 1.59884018e-20},
    {1.264385922e-18, 1.2933716e-19, 5.16670234e-20, 6.470563156e-21},
    {9.06093878e-19, -4.38362237e-19, 4.78211763e-20}};
constexpr EarthMoonConstants kEarthMoonSet3 = {
    -5.336e-08, 6.4848588e-08, -3.30317924e-07, -6.3792546e-09, 5.1358578e-15,
    2.6499627e-05, 1.2529868e-11, 2.7803735e-13, -4.23874e-14,
    {-2.34979015e-18, -1.1495153e-19, 4.13161727e-20, 2.0851092e-20},
    {1.143203e-18, 1.0966253e-19, 5.0480591e-20, 6.3925837e-21},
    {5.802302e-20, -1.9148258e-19, 3.0680954e-20}};
constexpr EarthMoonConstants kEarthMoonSet7 = {
    -5.05791e-08, 6.48486e-08, -3.303125e-07, -6.42496e-09, 5.1360459e-15,
    2.65036e-05, 3.79661e-11, 1.24186e-13, -1.74682e-11,
    {-3.99162e-18, -9.29233e-19, -2.96966e-19, -2.69872e-20},
    {-3.21713e-17, -1.11194e-16, -1.274976e-16, -4.89614e-17},
    {-1.5241e-17, 5.21487e-17, -4.4504e-17}};
constexpr EarthMoonConstants kEarthMoonSet8 = {
    -5.28536e-08, 6.50444e-08, -3.3031765e-07, -6.4210467e-09, 5.136216e-15,
    2.213153e-05, 4.682539e-11, -1.091048e-12, -2.779256e-11,
    {-4.216515e-18, -1.075765e-18, -3.491443e-19, -3.348088e-20},
    {-5.69867e-17, -1.90187e-16, -2.119606e-16, -7.84632e-17},
    {-1.93407e-17, 6.43191e-17, -5.33677e-17}};

constexpr double kTidalRadialDivisor = 0.040700012;

bool isOldEphemerisSet(int dataSet) { return dataSet >= 7 && dataSet <= 9; }

}  // namespace

const EarthMoonConstants& earthMoonConstants(int dataSet) {
  switch (dataSet) {
    case 2: return kEarthMoonSet2;
    case 3: return kEarthMoonSet3;
    case 7: return kEarthMoonSet7;
    case 8: return kEarthMoonSet8;
    default: return kEarthMoonSet1;
  }
}

ForceCoefficients forceCoefficientsForDataSet(int dataSet) {
  ForceCoefficients c;
  c.dataSet = dataSet;
  if (isOldEphemerisSet(dataSet)) {
    c.astronomicalUnit = astronomicalUnitOld;
    c.sunJ2Factor = 1.453e-07;
  }
  c.earthMoon = earthMoonConstants(dataSet);
  c.tidalRadial = c.earthMoon.CT0 / kTidalRadialDivisor;
  updateTimeDependentCoefficients(c, 0.0L, 0.0);
  return c;
}

double tidalTaperWeight(int dataSet, double T) {
  if (isOldEphemerisSet(dataSet)) {
    if (T > -4.5 && T < 0.5) return 1.0;
    if (T > -5.0 && T <= -4.5) return T + 5.5;
    if (T >= 0.5 && T < 1.0) return 1.5 - T;
    return 0.0;
  }
  if (T > -14.0 && T < 13.0) return 1.0;
  if (T > -15.0 && T <= -14.0) return T + 15.0;
  if (T >= 13.0 && T < 14.0) return 14.0 - T;
  return 0.0;
}

/*
** Time pieces of the fitted polynomials (T in Julian millennia): the central
** time T1 is T clamped to the fitted span; the early and late excesses Te, Tl
** carry the extrapolation polynomials and are themselves limited.
*/
void updateTimeDependentCoefficients(ForceCoefficients& c, long double t,
                                     double tidalFactor) {
  const bool old = isOldEphemerisSet(c.dataSet);
  const double T = static_cast<double>(t / 365250.0L);
  const double centralLow = -3.5;
  const double centralHigh = old ? 0.0 : 2.5;
  const double T1 = std::clamp(T, centralLow, centralHigh);
  double Te = (T < centralLow) ? T + 3.5 : 0.0;
  Te = std::max(Te, old ? -4.0 : -11.5);
  double Tl = (T > centralHigh) ? T - centralHigh : 0.0;
  Tl = std::min(Tl, old ? 1.0 : 10.5);

  const EarthMoonConstants& k = c.earthMoon;
  c.earthJ2 = k.CE0 + k.CE1 * T1 + k.CE2 * T1 * T1;
  c.moonFigure = k.CM0 + k.CM1 * T1;

  if (tidalFactor != 0.0) {
    c.tidalTangential = (1.0 + tidalFactor) * k.CT0;
    return;
  }
  const double T2 = T1 * T1, Te2 = Te * Te, Tl2 = Tl * Tl;
  const double P = k.P[0] * (Te + T1 + Tl) + k.P[1] * T2 + k.P[2] * T2 * T1 +
                   k.P[3] * T2 * T2 + k.L[0] * Te2 + k.L[1] * Te2 * Te +
                   k.L[2] * Te2 * Te2 + k.L[3] * Te2 * Te2 * Te + k.U[0] * Tl2 +
                   k.U[1] * Tl2 * Tl + k.U[2] * Tl2 * Tl2;
  c.tidalTangential = k.CT0 + tidalTaperWeight(c.dataSet, T) * P;
}

}  // namespace tarvo
