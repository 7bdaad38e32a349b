// principalNutationNode, nutationPrincipal: the principal term of nutation.
//
// Given:    tCenturies  Julian centuries from J2000.0, TT
// Returned: Ω (radians); Δψ₁ = -17.2064" sin Ω and Δε₁ = 9.2052" cos Ω (radians)
// Notes:    Ω = 450160.398036" - 6962890.5431" T + 7.4722" T² + 0.007702" T³
//           - 0.00005939" T⁴ (IERS 2003 / IAU 2000 expression).  The principal
//           term alone leaves errors of about 1.3" in Δψ and 0.6" in Δε.
// Reference: IERS Conventions (2003), eq. 5.43; Seidelmann (1982).

#include "tarvo/reductions/frames.h"

#include <cmath>

namespace tarvo {

long double principalNutationNode(long double tCenturies) {
    const long double t = tCenturies;
    const long double arcsec =
        450160.398036L + t * (-6962890.5431L + t * (7.4722L + t * (0.007702L - 0.00005939L * t)));
    return arcsec * kArcsecToRadians;
}

Nutation nutationPrincipal(long double tCenturies) {
    const long double node = principalNutationNode(tCenturies);
    return {-17.2064L * std::sin(node) * kArcsecToRadians,
            9.2052L * std::cos(node) * kArcsecToRadians};
}

} // namespace tarvo
