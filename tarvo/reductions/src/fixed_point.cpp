// fixedPointFromTyped: the fixed centre typed in the centre-body dialog.
#include "tarvo/reductions/centre_choice.h"

namespace tarvo {

PlaceVector fixedPointFromTyped(const PlaceVector& p, bool ecliptic, double cosE, double sinE,
                                double au) {
    PlaceVector v{p[0] * au, p[1] * au, p[2] * au};
    if (ecliptic) v = {v[0], v[1] * cosE - v[2] * sinE, v[1] * sinE + v[2] * cosE};
    return v;
}

} // namespace tarvo
