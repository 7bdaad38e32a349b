// precessionAngles: the precession angles for any epoch, by range.
//
// Given:    t       days from J2000.0, TT
//           lieske  the Lieske variant is requested and permitted
//           table   the long-term table (PRECDATN.BIN)
// Returned: Π_A, π_A, p_A, ε_A, radians
// Notes:    |T_m| < 2 millennia: IAU 2006 (P03), or its Lieske variant.
//           2 <= |T_m| <= 200: the long-term model of Vondrák et al. (2011),
//           evaluated directly, plus the difference IAU 2006 - model at ±2
//           faded out with a smooth step over the next century (by ±2.1
//           millennia) so that the angles are continuous at ±2 (that
//           difference is 0.65" in p_A at +2; the fade changes the rate of
//           p_A by at most 0.01"/year).  From ±2.1 on the angles are the
//           model's, within 0.1" of it.
//           200 < |T_m| <= 1000: linear interpolation in the table (100-year
//           entries of 0.1"), which holds the model at ±200 blended into the
//           fixed law; the join at ±200 is continuous to the table's 0.05"
//           rounding.  An empty table gives the blended law directly.
//           |T_m| > 1000: the fixed law p_A = (14.01311 T_m + 2.60645)°,
//           Π_A = -4°, π_A = 0.12°, ε_A = 23.31624°.
// Reference: Vondrák, Capitaine & Wallace 2011, A&A 534, A22.

#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kDegrees = kPi / 180.0L;
constexpr long double kTenthArcsec = kPi / 6480000.0L;
constexpr long double kLongTermEdge = 200.0L;    // millennia: end of the long-term model
constexpr long double kFixedLawStart = 1000.0L;  // millennia: start of the fixed law
constexpr long double kJoinStart = 2.0L, kJoinEnd = 2.1L; // millennia: IAU 2006 -> long term

long double smoothStep(long double s) {
    if (s <= 0.0L) return 0.0L;
    if (s >= 1.0L) return 1.0L;
    return s * s * (3.0L - 2.0L * s);
}

PrecessionAngles difference(const PrecessionAngles& a, const PrecessionAngles& b) {
    return {a.nodeLongitude - b.nodeLongitude, a.inclination - b.inclination,
            a.generalPrecession - b.generalPrecession, a.meanObliquity - b.meanObliquity};
}

PrecessionAngles plusScaled(const PrecessionAngles& a, const PrecessionAngles& d, long double w) {
    return {a.nodeLongitude + w * d.nodeLongitude, a.inclination + w * d.inclination,
            a.generalPrecession + w * d.generalPrecession, a.meanObliquity + w * d.meanObliquity};
}

} // namespace

long double precessionTableLinearPart(long double tMillennia) {
    return 36000.0L * (14.013107L * tMillennia + 2.5377L);
}

PrecessionAngles precessionFixedLaw(long double tMillennia) {
    PrecessionAngles a;
    a.generalPrecession = (14.01311L * tMillennia + 2.60645L) * kDegrees;
    a.nodeLongitude = -4.0L * kDegrees;
    a.inclination = 0.12L * kDegrees;
    a.meanObliquity = 23.31624L * kDegrees;
    return a;
}

PrecessionAngles precessionBlended(long double tMillennia) {
    const long double sign = tMillennia < 0.0L ? -1.0L : 1.0L;
    const long double edgeT = sign * kLongTermEdge;
    if (std::fabs(tMillennia) <= kLongTermEdge) return precessionLongTerm(tMillennia);
    PrecessionAngles edge = precessionLongTerm(edgeT);
    if (edge.inclination < 0.0L) { // same pole, inclination of the fixed law's sign
        edge.inclination = -edge.inclination;
        edge.nodeLongitude += kPi;
    }
    const PrecessionAngles fixed = precessionFixedLaw(tMillennia);
    const PrecessionAngles fixedAtEdge = precessionFixedLaw(edgeT);
    const long double w =
        smoothStep((std::fabs(tMillennia) - kLongTermEdge) / (kFixedLawStart - kLongTermEdge));
    const long double node =
        fixed.nodeLongitude +
        2.0L * kPi * std::nearbyint((edge.nodeLongitude - fixed.nodeLongitude) / (2.0L * kPi));
    PrecessionAngles a;
    a.nodeLongitude = (1.0L - w) * edge.nodeLongitude + w * node;
    a.inclination = (1.0L - w) * edge.inclination + w * fixed.inclination;
    a.meanObliquity = (1.0L - w) * edge.meanObliquity + w * fixed.meanObliquity;
    a.generalPrecession = fixed.generalPrecession +
                          (1.0L - w) * (edge.generalPrecession - fixedAtEdge.generalPrecession);
    return a;
}

PrecessionAngles precessionFromTable(const PrecessionTable& table, long double tMillennia) {
    if (table.empty()) return precessionBlended(tMillennia);
    const long double scaled = 10.0L * tMillennia;
    long double kFloor = std::floor(scaled);
    // Keep both entries inside the table: at T_m = 1000 the weight of the
    // entry past the end is zero, so the last interval is used with f = 0.
    kFloor = std::fmin(std::fmax(kFloor, static_cast<long double>(PrecessionTable::kFirstIndex)),
                       static_cast<long double>(PrecessionTable::kLastIndex - 1));
    const int k = static_cast<int>(kFloor);
    const long double f = std::fmin(std::fmax(1.0L - (scaled - kFloor), 0.0L), 1.0L);
    const auto& lo = table.at(k);
    const auto& hi = table.at(k + 1);
    const auto mix = [f](std::int32_t a, std::int32_t b) {
        return f * static_cast<long double>(a) + (1.0L - f) * static_cast<long double>(b);
    };
    PrecessionAngles a;
    a.generalPrecession =
        (mix(lo.precessionResidual, hi.precessionResidual) + precessionTableLinearPart(tMillennia)) *
        kTenthArcsec;
    a.nodeLongitude = mix(lo.nodeLongitude, hi.nodeLongitude) * kTenthArcsec;
    a.inclination = mix(lo.inclination, hi.inclination) * kTenthArcsec;
    a.meanObliquity = (mix(lo.meanObliquity, hi.meanObliquity) + 839388.6L) * kTenthArcsec;
    return a;
}

PrecessionAngles precessionAngles(long double t, bool lieske, const PrecessionTable& table) {
    const long double tm = t / kDaysPerJulianMillennium;
    const long double am = std::fabs(tm);
    if (am < kJoinStart) return precessionIau2006(10.0L * tm, lieske);
    if (am <= kLongTermEdge) {
        PrecessionAngles a = precessionLongTerm(tm);
        if (am < kJoinEnd) {
            const long double edge = tm < 0.0L ? -kJoinStart : kJoinStart;
            const PrecessionAngles gap =
                difference(precessionIau2006(10.0L * edge, false), precessionLongTerm(edge));
            a = plusScaled(a, gap, 1.0L - smoothStep((am - kJoinStart) / (kJoinEnd - kJoinStart)));
        }
        return a;
    }
    if (am <= kFixedLawStart) return precessionFromTable(table, tm);
    return precessionFixedLaw(tm);
}

} // namespace tarvo
