// The centre of the page as the centre-body dialog chooses it, and the
// conversion of a typed fixed point.
#pragma once

#include "tarvo/reductions/places.h"

namespace tarvo {

struct CentreChoice {
    bool chosen = false;      // false: Esc or an empty answer, nothing changes
    int index = 0;            // 0 .. lastMajor, or -1 for the fixed point
    PlaceVector fixedPoint{}; // Gm, J2000 equator, zero velocity ("Fixed")
};

// A fixed point typed in AU -> Gm in the J2000 equator (ecliptic input
// turned by the J2000 obliquity).
PlaceVector fixedPointFromTyped(const PlaceVector& typedAu, bool ecliptic, double cosObliquityJ2000,
                                double sinObliquityJ2000, double astronomicalUnitGm);

} // namespace tarvo
