// computeIauFrame, eclipticOfDate, multiply: the ICRS -> equator of date
// matrix of the IAU model (frame bias, IAU 2006 precession, IAU 2000A
// nutation) and the quantities that go with it.
//
// Given:    t (TT day count), nutation (true equator or mean), the nutation table
// Returned: see IauFrame in iau_reductions.h
// Notes:    the matrix is ERFA's eraPn06 built on the nutation of
//           nutationIau2000A (the table, or eraNut06a beyond it); the
//           equation of the equinoxes is Δψ cos ε_A plus the complementary
//           terms 2640.96 µas sin Ω + 63.52 µas sin 2Ω (the next ones are
//           below 12 µas).
// Reference: IERS Conventions 2010, ch. 5 (eq. 5.30 and table 5.2e).

#include "tarvo/reductions/frame_settings.h"
#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/time_scales.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace tarvo {

PlaceVector multiply(const Matrix3& m, const PlaceVector& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

PlaceVector multiplyTransposed(const Matrix3& m, const PlaceVector& v) {
    return {m[0][0] * v[0] + m[1][0] * v[1] + m[2][0] * v[2],
            m[0][1] * v[0] + m[1][1] * v[1] + m[2][1] * v[2],
            m[0][2] * v[0] + m[1][2] * v[1] + m[2][2] * v[2]};
}

void multiply(const Matrix3& m, std::size_t last, double* x, double* y, double* z) {
    for (std::size_t k = 0; k <= last; ++k) {
        const PlaceVector r = multiply(m, {x[k], y[k], z[k]});
        x[k] = r[0], y[k] = r[1], z[k] = r[2];
    }
}

IauFrame computeIauFrame(long double t, bool nutation, const NutationTable* table) {
    IauFrame f;
    f.epoch = t;
    f.nutation = nutation;
    if (nutation) f.nutationAngles = nutationIau2000A(t, table);
    const double dpsi = static_cast<double>(f.nutationAngles.longitude);
    const double deps = static_cast<double>(f.nutationAngles.obliquity);
    double epsa = 0.0, rb[3][3], rp[3][3], rbp[3][3], rn[3][3], rbpn[3][3];
    eraPn06(ERFA_DJ00, static_cast<double>(t), dpsi, deps, &epsa, rb, rp, rbp, rn, rbpn);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) f.toDate[i][j] = rbpn[i][j];
    f.meanObliquity = epsa;
    f.obliquity = epsa + deps;
    if (nutation) {
        const long double node = principalNutationNode(t / kDaysPerJulianCentury);
        const double complementary = (2640.96e-6 * std::sin(static_cast<double>(node)) +
                                      63.52e-6 * std::sin(2.0 * static_cast<double>(node))) *
                                     ERFA_DAS2R;
        f.equationOfEquinoxes = dpsi * std::cos(epsa) + complementary;
    }
    return f;
}

IauFrame iauReferenceYearFrame(double referenceYear) {
    return computeIauFrame(referenceYearEpoch(referenceYear), false, nullptr);
}

Matrix3 eclipticOfDate(const Matrix3& toDate, double epsilon) {
    const double c = std::cos(epsilon), s = std::sin(epsilon);
    Matrix3 m = toDate;
    for (int j = 0; j < 3; ++j) {
        m[1][j] = c * toDate[1][j] + s * toDate[2][j];
        m[2][j] = -s * toDate[1][j] + c * toDate[2][j];
    }
    return m;
}

} // namespace tarvo
