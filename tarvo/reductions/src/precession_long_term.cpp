// longTermPoles, precessionLongTerm: the long-term precession model.
//
// Given:    tMillennia  Julian millennia from J2000.0, TT
// Returned: the ecliptic and equator poles of date (unit vectors, J2000
//           ecliptic axes), and from them Π_A, π_A, p_A, ε_A (radians)
// Notes:    the ecliptic pole from P_A, Q_A (Table 1 of the paper), the
//           equator pole from X_A, Y_A (Table 2): cubic polynomials plus 8 and
//           14 periodic terms in Julian centuries.  The equator pole is brought
//           to ecliptic axes with ε0 = 84381.406".  Valid to ±200 000 years:
//           within ±1000 years the model departs from IAU 2006 by a few
//           hundredths of an arcsecond; at ±200 000 years its uncertainty is a
//           few tenths of a degree.
//           Angles: π_A = angle between the J2000 ecliptic pole and the pole of
//           date, signed like T; Π_A the node longitude within 180° of its
//           J2000 value; ε_A = angle between the two poles of date; the
//           equinox of date is the node of the equator on the ecliptic of date
//           and p_A = Λ - Π_A, with Λ its angle from the node, chosen within
//           180° of the linear law p_A = 5028.796195" T_c.
// Reference: Vondrák, Capitaine & Wallace 2011, A&A 534, A22, Tables 1 and 2.

#include "tarvo/reductions/frames.h"

#include <cmath>

namespace tarvo {

namespace {

constexpr long double kTwoPi = 6.28318530717958647692528676655900577L;
constexpr long double kEps0 = 84381.406L * kArcsecToRadians; // J2000 obliquity of the model

// Polynomial parts, arcsec, powers of T (Julian centuries) 0 ... 3.
constexpr long double kPolyP[4] = {5851.607687L, -0.1189000L, -0.00028913L, 0.000000101L};
constexpr long double kPolyQ[4] = {-1600.886300L, 1.1689818L, -0.00000020L, -0.000000437L};
constexpr long double kPolyX[4] = {5453.282155L, 0.4252841L, -0.00037173L, -0.000000152L};
constexpr long double kPolyY[4] = {-73750.930350L, -0.7675452L, -0.00018725L, 0.000000231L};

struct PeriodicTerm {
    long double period; // Julian centuries
    long double cosFirst, cosSecond, sinFirst, sinSecond; // arcsec
};

// Ecliptic pole: period, C_P, C_Q, S_P, S_Q.
constexpr PeriodicTerm kEclipticTerms[] = {
    {708.15L, -5486.751211L, -684.661560L, 667.666730L, -5523.863691L},
    {2309.00L, -17.127623L, 2446.283880L, -2354.886252L, -549.747450L},
    {1620.00L, -617.517403L, 399.671049L, -428.152441L, -310.998056L},
    {492.20L, 413.442940L, -356.652376L, 376.202861L, 421.535876L},
    {1183.00L, 78.614193L, -186.387003L, 184.778874L, -36.776172L},
    {622.00L, -180.732815L, -316.800070L, 335.321713L, -145.278396L},
    {882.00L, -87.676083L, 198.296701L, -185.138669L, -34.744450L},
    {547.00L, 46.140315L, 101.135679L, -120.972830L, 22.885731L},
};

// Equator pole: period, C_X, C_Y, S_X, S_Y.
constexpr PeriodicTerm kEquatorTerms[] = {
    {256.75L, -819.940624L, 75004.344875L, 81491.287984L, 1558.515853L},
    {708.15L, -8444.676815L, 624.033993L, 787.163481L, 7774.939698L},
    {274.20L, 2600.009459L, 1251.136893L, 1251.296102L, -2219.534038L},
    {241.45L, 2755.175630L, -1102.212834L, -1257.950837L, -2523.969396L},
    {2309.00L, -167.659835L, -2660.664980L, -2966.799730L, 247.850422L},
    {492.20L, 871.855056L, 699.291817L, 639.744522L, -846.485643L},
    {396.10L, 44.769698L, 153.167220L, 131.600209L, -1393.124055L},
    {288.90L, -512.313065L, -950.865637L, -445.040117L, 368.526116L},
    {231.10L, -819.415595L, 499.754645L, 584.522874L, 749.045012L},
    {1610.00L, -538.071099L, -145.188210L, -89.756563L, 444.704518L},
    {620.00L, -189.793622L, 558.116553L, 524.429630L, 235.934465L},
    {157.87L, -402.922932L, -23.923029L, -13.549067L, 374.049623L},
    {220.30L, 179.516345L, -165.405086L, -210.157124L, -171.330180L},
    {1200.00L, -9.814756L, 9.344131L, -44.919798L, -22.899655L},
};

template <std::size_t N>
void seriesSum(const PeriodicTerm (&terms)[N], const long double (&polyFirst)[4],
               const long double (&polySecond)[4], long double t, long double& first,
               long double& second) {
    first = second = 0.0L;
    for (const PeriodicTerm& term : terms) {
        const long double a = kTwoPi * t / term.period;
        const long double c = std::cos(a), s = std::sin(a);
        first += c * term.cosFirst + s * term.sinFirst;
        second += c * term.cosSecond + s * term.sinSecond;
    }
    long double power = 1.0L;
    for (int i = 0; i < 4; ++i) {
        first += polyFirst[i] * power;
        second += polySecond[i] * power;
        power *= t;
    }
}

std::array<long double, 3> cross(const std::array<long double, 3>& a,
                                 const std::array<long double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
long double dot(const std::array<long double, 3>& a, const std::array<long double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
long double norm(const std::array<long double, 3>& a) { return std::sqrt(dot(a, a)); }

// The member of angle + 2πn nearest to `reference`.
long double nearestBranch(long double angle, long double reference) {
    return angle + kTwoPi * std::nearbyint((reference - angle) / kTwoPi);
}

} // namespace

LongTermPoles longTermPoles(long double tMillennia) {
    const long double t = 10.0L * tMillennia; // Julian centuries
    long double p, q, x, y;
    seriesSum(kEclipticTerms, kPolyP, kPolyQ, t, p, q);
    seriesSum(kEquatorTerms, kPolyX, kPolyY, t, x, y);
    p *= kArcsecToRadians;
    q *= kArcsecToRadians;
    x *= kArcsecToRadians;
    y *= kArcsecToRadians;
    const long double w = std::sqrt(std::fmax(1.0L - p * p - q * q, 0.0L));
    const long double z = std::sqrt(std::fmax(1.0L - x * x - y * y, 0.0L));
    const long double c = std::cos(kEps0), s = std::sin(kEps0);
    LongTermPoles poles;
    poles.eclipticPole = {p, -q, w};
    poles.equatorPole = {x, y * c + z * s, z * c - y * s};
    return poles;
}

PrecessionAngles precessionLongTerm(long double tMillennia) {
    const LongTermPoles poles = longTermPoles(tMillennia);
    const auto& n = poles.eclipticPole;
    const auto& q = poles.equatorPole;
    const long double sign = tMillennia < 0.0L ? -1.0L : 1.0L;
    PrecessionAngles a;
    a.inclination = sign * std::atan2(std::hypot(n[0], n[1]), n[2]);
    const long double node = std::atan2(sign * n[0], -sign * n[1]);
    a.nodeLongitude = nearestBranch(node, 629546.7936L * kArcsecToRadians);
    a.meanObliquity = std::atan2(norm(cross(n, q)), dot(n, q));

    // Equinox of date, then its position in the ecliptic of date counted from the node.
    const auto e = cross(q, n);
    const long double cn = std::cos(a.nodeLongitude), sn = std::sin(a.nodeLongitude);
    const long double ci = std::cos(a.inclination), si = std::sin(a.inclination);
    const long double x1 = e[0] * cn + e[1] * sn;
    const long double y1 = e[1] * cn - e[0] * sn;
    const long double y2 = y1 * ci + e[2] * si;
    const long double lambda = std::atan2(-y2, x1);
    const long double linear = 5028.796195L * 10.0L * tMillennia * kArcsecToRadians;
    a.generalPrecession = nearestBranch(lambda - a.nodeLongitude, linear);
    return a;
}

} // namespace tarvo
