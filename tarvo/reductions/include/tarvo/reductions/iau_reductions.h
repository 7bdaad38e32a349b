// Apparent places to the current IAU standard: frame bias, IAU 2006
// precession, IAU 2000A nutation (IAU 2006 adjusted), light deflection by the
// Sun and relativistic aberration, with the Earth rotation angle and the
// Greenwich sidereal time that go with them.
//
// Applied to display copies only (pages, records, element files, searches):
// the body table keeps its own frame (equator of date of a frame epoch with
// the principal nutation term), on which the force model depends.
//
// Epochs are JD2000 day counts (days from J2000.0), TT unless said UT.
// Vectors are the suite's Gm, Gm/day, Gm/day²; matrices act on column
// vectors referred to the ICRS (the axes of the planetary data, which the
// body table calls J2000).
#pragma once

#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/places.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// ---- the reduction model ----------------------------------------------------------

// Which model the display copies are reduced with.
enum class ReductionModel {
    iau2006,     // frame bias, IAU 2006 precession, IAU 2000A nutation, deflection by the Sun
    nutation1980 // IAU 2006 precession angles, 63-term 1980 nutation, no bias, no deflection
};
// "IAU 2006/2000A" or "1980 nutation": the page header and OUTPUT.LOG say it.
std::string_view reductionModelLabel(ReductionModel model);
// The IAU model applies within ±2000 years of J2000 (the validity of the IAU
// 2006 precession polynomials); beyond, the 1980 model with its long-term
// precession takes over.  Returns the model in effect at t.
ReductionModel effectiveReductionModel(ReductionModel chosen, long double t);

// ---- the nutation table NUT2000A.BIN -----------------------------------------------

/*
** NutationTable: the IAU 2000A nutation (IAU 2006 adjusted, as ERFA's
** eraNut06a) in Chebyshev segments, so that a page costs no 1365-term sum.
**
** File (little-endian): a header of four int32 — the first segment's start
**   (days from J2000, TT), the segment length (days), the number of segments
**   and the number of coefficients per angle N — then for every segment N
**   doubles of Δψ and N doubles of Δε (radians), the coefficients of the
**   Chebyshev polynomials T0 .. T(N-1) over the segment mapped to [-1, 1].
** Notes: the builder fits 8-day segments with 12 coefficients from
**   1900 to 2100; they reproduce eraNut06a to 0.2 µas.
*/
struct NutationTable {
    std::int32_t firstDay = 0;     // start of segment 0, days from J2000 (TT)
    std::int32_t segmentDays = 8;  // length of a segment, days
    std::int32_t coefficients = 0; // N per angle
    std::vector<double> values;    // segments * 2N: Δψ coefficients, then Δε
    static constexpr std::size_t kHeaderBytes = 16;

    bool empty() const { return values.empty(); }
    std::size_t segments() const {
        return coefficients > 0 ? values.size() / (2 * static_cast<std::size_t>(coefficients)) : 0;
    }
};

// Reads NUT2000A.BIN; false with a message naming the file when it cannot be
// read, its length does not match its header, or a coefficient is not a
// plausible nutation (|c| < 1e-4 rad, finite).  `table` is then unchanged.
bool loadNutationTable(const std::filesystem::path& file, NutationTable& table,
                       std::string& message);
bool decodeNutationTable(std::span<const unsigned char> bytes, const std::string& fileName,
                         NutationTable& table, std::string& message);
std::vector<unsigned char> encodeNutationTable(const NutationTable& table);
// Fits the table to eraNut06a (data-tree builder): segments of `segmentDays`
// from `firstDay`, `count` of them, N coefficients each.
NutationTable computeNutationTable(std::int32_t firstDay, std::int32_t segmentDays,
                                   std::int32_t count, std::int32_t coefficients);

/*
** nutationIau2000A: nutation in longitude and obliquity, IAU 2000A with the
** IAU 2006 adjustments.
**
** Given:    t      TT day count
**           table  the fitted segments, or nullptr / empty
** Returned: Δψ, Δε (radians): from the table where it covers t, otherwise
**           from ERFA (eraNut06a) itself
** Notes: the table agrees with the series to 0.2 µas; the series itself is
**   accurate to a fraction of a milliarcsecond over the 20th and 21st
**   centuries (IERS Conventions 2010, 5.5.4).
*/
Nutation nutationIau2000A(long double t, const NutationTable* table);

// ---- the frame of an epoch ---------------------------------------------------------

using Matrix3 = std::array<std::array<double, 3>, 3>;

// r = M v.
PlaceVector multiply(const Matrix3& m, const PlaceVector& v);
// r = Mᵀ v.
PlaceVector multiplyTransposed(const Matrix3& m, const PlaceVector& v);
// M v for arrays of vectors, entries 0 .. last inclusive, in place.
void multiply(const Matrix3& m, std::size_t last, double* x, double* y, double* z);

/*
** IauFrame: the frame quantities of one epoch in the IAU model.
**
** Given (computeIauFrame):
**   t         TT day count
**   nutation  true: the true equator and equinox (IAU 2000A nutation)
**   table     nutation table (nullptr: the series from ERFA)
** Returned:
**   toDate    ICRS -> true equator and equinox of date (N P B), or the mean
**             equator and equinox (P B) without nutation: ERFA's eraPn06
**   meanObliquity        ε_A, IAU 2006
**   obliquity            ε_A + Δε (true) or ε_A (mean)
**   equationOfEquinoxes  Δψ cos ε_A plus the two largest complementary terms
**                        (0 without nutation)
** Notes: matches eraPnm06a (with nutation) and eraPmat06 (without) to the
**   accuracy of the nutation table, 1e-12 rad.
*/
struct IauFrame {
    long double epoch = 0.0L;
    bool nutation = false;
    Nutation nutationAngles;          // Δψ, Δε, radians (zero without nutation)
    double meanObliquity = 0.0;       // ε_A, radians
    double obliquity = 0.0;           // ε_A + Δε, or ε_A
    Matrix3 toDate{};                 // ICRS -> equator and equinox of date
    double equationOfEquinoxes = 0.0; // radians
};
IauFrame computeIauFrame(long double t, bool nutation, const NutationTable* table);
// The mean frame of a reference year (a decimal year: January 1.0 of its
// integer part plus 365.25 days times the fraction, as referenceYearEpoch).
IauFrame iauReferenceYearFrame(double referenceYear);

// The rotation of a vector from the equator of date to the ecliptic of the
// same date (about x by the obliquity `epsilon`) after `toDate`.
Matrix3 eclipticOfDate(const Matrix3& toDate, double epsilon);

/*
** earthRotationAngle: ERA = 2π (0.7790572732640 + 1.00273781191135448 Du),
** Du = UT1 days from J2000.0, radians in [0, 2π).
** Reference: IERS Conventions 2010, eq. 5.15.
*/
long double earthRotationAngle(long double ut1Days);

/*
** greenwichSiderealTimeIau: Greenwich sidereal time, IAU 2006.
**
** Given:    ut1Days  UT1 day count; ttDays TT day count
**           equationOfEquinoxes  radians (0 for the mean sidereal time)
** Returned: GMST06 + EE, radians in [0, 2π)
** Notes: GMST06 = ERA + the IAU 2006 polynomial in TT centuries (Capitaine
**   et al. 2003); with the equation of the equinoxes of IauFrame it agrees
**   with eraGst06a to 0.03 mas (the complementary terms left out).
*/
long double greenwichSiderealTimeIau(long double ut1Days, long double ttDays,
                                     double equationOfEquinoxes);

// ---- the apparent place --------------------------------------------------------------

// Schwarzschild radius of the Sun, 2 GM☉ / c², Gm (IAU 2009: 2953.250 m).
inline constexpr double kSunSchwarzschildRadiusGm = 2.9532500765e-6;

/*
** sunLightDeflection: the direction of a body after the deflection of its
** light by the Sun.
**
** Given:
**   p    unit vector observer -> body (after light-time)
**   q    unit vector Sun -> body, the Sun and the body at the emission time
**   e    unit vector Sun -> observer
**   em   distance Sun -> observer, Gm
** Returned: p + (2GM/c² / em) (e (p.q) - q (p.e)) / (q.(q + e)), not renormalised
** Notes: the denominator is kept above 1e-6 / max((em/AU)², 1) so that a
**   body behind the Sun gives a finite answer (Explanatory Supplement 1992,
**   3.252; the form of ERFA's eraLd with the limit of eraLdsun).
*/
PlaceVector sunLightDeflection(const PlaceVector& p, const PlaceVector& q, const PlaceVector& e,
                               double em, double astronomicalUnitGm);

/*
** relativisticAberration: stellar aberration, relativistic form.
**
** Given:
**   p    unit direction before aberration
**   v    observer velocity in units of c (barycentric; any inertial frame
**        of the solar system differs in (v/c)² terms only)
**   s    distance Sun -> observer, Gm (0: no gravitational term)
** Returned: unit apparent direction
** Notes: p' ∝ p √(1 - v²) + (1 + p.v / (1 + √(1 - v²))) v + (2GM/c²/s)(v - (p.v) p);
**   Explanatory Supplement 1992, 3.252-3; ERFA eraAb.
*/
PlaceVector relativisticAberration(const PlaceVector& p, const PlaceVector& v, double s);

// Inputs of one apparent place, all in one inertial frame (the body table's).
struct ApparentPlaceInput {
    PlaceVector bodyPosition{}, bodyVelocity{}, bodyAcceleration{}; // Gm, Gm/day, Gm/day²
    PlaceVector observerPosition{}, observerVelocity{};             // Gm, Gm/day
    PlaceVector sunPosition{}, sunVelocity{}, sunAcceleration{};    // Gm, Gm/day, Gm/day²
    bool bodyIsSun = false; // the Sun does not deflect its own light
};
struct ApparentPlaceResult {
    PlaceVector direction{};        // unit vector
    double lightTimeDistanceGm = 0; // |body(t - τ) - observer(t)|
    double lightTimeDays = 0;       // τ
};

/*
** apparentPlace: the rigorous place of a body seen by an observer.
**
** Given:   input (states at the observation time t), lightTime, aberration
** Returned: direction and light-time distance
** Notes:
**   Light-time: τ solves c τ = |x(t - τ) - o(t)| with the body moving on
**   x - τ v + ½ τ² a (third-order term below 1 cm for Neptune); iterated to
**   1e-15 day.  Apparent (aberration on): then deflection by the Sun (the Sun
**   at t - τ for the body, at t for the observer; not for the Sun itself, nor
**   for an observer at the Sun) and relativistic aberration with the
**   observer's velocity and the Sun's potential.  Astrometric (light-time
**   only): the light-time direction alone.  Light-time off: geometric.
**   Against ERFA's chain (eraLd, eraAb) on the same states the direction
**   agrees to 1e-12 rad.
*/
ApparentPlaceResult apparentPlace(const ApparentPlaceInput& input, bool lightTime, bool aberration,
                                  double astronomicalUnitGm);

} // namespace tarvo
