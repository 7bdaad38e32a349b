// selectCentre: the centre-body dialog (key C of the run loop).
#pragma once

#include "tarvo/reductions/centre_choice.h"

#include <string>

namespace tarvo {

/*
** selectCentre: asks "Enter Center Body" with the hint "0=Sun,...," and the
** last major body's number and name, or "-1 = Fixed Point".
**
** Given:   lastMajor and its 9-character name; eclipticInput (the fixed
**          point is typed in ecliptic coordinates); cos ε0, sin ε0 of the
**          J2000 obliquity; the AU in Gm
**          barycentreIndex, N + 1 of the table, offered as "Baryc" (the
**          barycentre; none when below lastMajor + 1)
** Returned: the choice; a number outside -1 .. lastMajor (and the
**          barycentre's) asks again, and the fixed point is converted from
**          AU (ecliptic turned to the J2000 equator when eclipticInput).
*/
CentreChoice selectCentre(int lastMajor, const std::string& lastMajorName, bool eclipticInput,
                          double cosObliquityJ2000, double sinObliquityJ2000,
                          double astronomicalUnitGm, int barycentreIndex = -1);

} // namespace tarvo
