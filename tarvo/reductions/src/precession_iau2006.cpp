// precessionIau2006: the four ecliptic precession angles of IAU 2006 (P03).
//
// Given:    tCenturies  Julian centuries from J2000.0, TT
//           lieske      use the Lieske (1976) variant of the coefficients
// Returned: Π_A, π_A, p_A, ε_A in radians, referred to the J2000 ecliptic
// Notes:    with L = -1 for the Lieske variant (0 otherwise) the coefficients
//           are those of IAU 2006 shifted by the L terms; ε_A keeps the constant
//           84381.406".  Valid for |T| < 20 centuries; within ±2 centuries the
//           P03 angles are good to a few microarcseconds.
// Reference: Capitaine, Wallace & Chapront 2003, A&A 412, 567 (P03), Table 1;
//            Lieske et al. 1977, A&A 58, 1.

#include "tarvo/reductions/frames.h"

namespace tarvo {

PrecessionAngles precessionIau2006(long double tCenturies, bool lieske) {
    const long double l = lieske ? -1.0L : 0.0L;
    const long double t = tCenturies;
    const long double pA =
        t * (5028.796195L - 0.3004L * l +
             t * (1.1054348L - 0.005695L * l +
                  t * (0.00007964L + t * (-0.000023857L - 0.0000000383L * t))));
    const long double piA =
        t * (46.998973L - 0.00393L * l +
             t * (-0.0334926L - 0.000473L * l +
                  t * (-0.00012559L + t * (0.000000113L - 0.0000000022L * t))));
    const long double bigPiA =
        629546.7936L - 8.1884L * l +
        t * (-867.95758L + 1.85132L * l +
             t * (0.157992L + 0.12263L * l +
                  t * (-0.0005371L + t * (-0.00004797L + 0.000000072L * t))));
    const long double epsA =
        84381.406L + t * (-46.836769L - 0.02177L * l +
                          t * (-0.0001831L + 0.000407L * l +
                               t * (0.0020034L + t * (-0.000000576L - 0.0000000434L * t))));
    PrecessionAngles a;
    a.nodeLongitude = bigPiA * kArcsecToRadians;
    a.inclination = piA * kArcsecToRadians;
    a.generalPrecession = pA * kArcsecToRadians;
    a.meanObliquity = epsA * kArcsecToRadians;
    return a;
}

} // namespace tarvo
