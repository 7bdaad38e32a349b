// Reference frames of the main program: precession, nutation, the frame
// state of an epoch and the rotations of whole arrays of vectors between the
// J2000 equator and the equator (or ecliptic) of that epoch.
//
// Angles inside are radians; epochs are JD2000 day counts in TT (days from
// J2000.0).  The frame state holds the cosines and sines of the rotation
// angles so that the array rotations evaluate no trigonometric function.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "framestate/frame_state.h"

namespace tarvo {

// Long-term precession table PRECDATN.BIN: entries k = -10010 ... 10000 for
// T = k/10 Julian millennia from J2000, unit 0.1 arcsec.
struct PrecessionTable {
    static constexpr int kFirstIndex = -10010;
    static constexpr int kLastIndex = 10000;
    static constexpr std::size_t kRecordCount = kLastIndex - kFirstIndex + 1; // 20011
    static constexpr std::size_t kRecordBytes = 16;                            // four int32
    static constexpr std::size_t kFileBytes = kRecordCount * kRecordBytes;     // 320176

    // One record, in the order of the file.
    struct Record {
        std::int32_t meanObliquity;      // ε_A, 0.1"
        std::int32_t precessionResidual; // p_A minus its linear part, 0.1"
        std::int32_t inclination;        // π_A, 0.1"
        std::int32_t nodeLongitude;      // Π_A, 0.1"
    };
    std::vector<Record> records; // index k - kFirstIndex; empty when not loaded

    bool empty() const { return records.empty(); }
    const Record& at(int k) const { return records[static_cast<std::size_t>(k - kFirstIndex)]; }
};

// Linear part of p_A that the table leaves out, in 0.1" for T_m millennia.
long double precessionTableLinearPart(long double tMillennia);

// Reads PRECDATN.BIN.  Returns false, with a message naming the file, when it
// cannot be read or its length is not exactly PrecessionTable::kFileBytes;
// `table` is then left unchanged.
bool loadPrecessionTable(const std::filesystem::path& file, PrecessionTable& table,
                         std::string& message);
// The file image of a table (little-endian records, no header).
std::vector<unsigned char> encodePrecessionTable(const PrecessionTable& table);
// Decodes a file image; false (with a message using `fileName`) when the size is wrong.
bool decodePrecessionTable(std::span<const unsigned char> bytes, const std::string& fileName,
                           PrecessionTable& table, std::string& message);
// Computes the table contents from the long-term precession model (Vondrák,
// Capitaine & Wallace 2011) within ±200 000 years, blended into the fixed law
// beyond.  Used by the data-tree builder.
PrecessionTable computePrecessionTable();

// Precession angles, IAU 2006 (P03) polynomials; `lieske` selects the 1976
// variant of the coefficients.  Valid for |T| < 2000 years.
PrecessionAngles precessionIau2006(long double tCenturies, bool lieske);
// Ecliptic and equator poles of the long-term model (Vondrák et al. 2011),
// unit vectors in J2000 ecliptic axes.
struct LongTermPoles {
    std::array<long double, 3> eclipticPole;
    std::array<long double, 3> equatorPole;
};
LongTermPoles longTermPoles(long double tMillennia);
// Precession angles of the long-term model, |T| <= 200 000 years.  Branches:
// π_A carries the sign of T, Π_A lies within 180° of its J2000 value, p_A
// within 180° of the linear law.
PrecessionAngles precessionLongTerm(long double tMillennia);
// Angles beyond ±200 000 years: the long-term model at ±200 000 years blended
// smoothly into the fixed law at ±1 000 000 years.
PrecessionAngles precessionBlended(long double tMillennia);
// The fixed law used beyond ±1 000 000 years.
PrecessionAngles precessionFixedLaw(long double tMillennia);
// Angles read from the table at T_m millennia, |T_m| <= 1000.
PrecessionAngles precessionFromTable(const PrecessionTable& table, long double tMillennia);
// Precession angles for any epoch t (days from J2000, TT), choosing the range:
// IAU 2006 for |T_m| < 2, the long-term model for 2 <= |T_m| <= 200 (joined
// continuously at ±2), the table to ±1000 and the fixed law beyond.
PrecessionAngles precessionAngles(long double t, bool lieske, const PrecessionTable& table);

// Mean longitude of the Moon's ascending node Ω (radians) used by the
// principal nutation term.
long double principalNutationNode(long double tCenturies);
// Principal nutation term: Δψ₁ = -17.2064" sin Ω, Δε₁ = 9.2052" cos Ω.
Nutation nutationPrincipal(long double tCenturies);
// The 63-term series of the 1980 IAU theory of nutation.
Nutation nutation1980(long double tCenturies);

// How computeFrame is asked to work.
struct FrameOptions {
    bool principalNutation = false; // nutation by the principal term
    bool fullNutation = false;      // nutation by the 63-term series (implies the former)
    bool lieske = false;            // Lieske variant requested and permitted (used when |T_m| < 2)
    bool skipRotations = false;     // keep everything in J2000
};

// Computes every frame quantity for t (days from J2000, TT).
void computeFrame(FrameState& frame, long double t, const FrameOptions& options,
                  const PrecessionTable& table);

// J2000 equator -> equator of the frame epoch (or its ecliptic when
// `eclipticOnly`), in place, entries first ... last inclusive.
void rotateToDate(const FrameState& frame, std::size_t first, std::size_t last, long double* x,
                  long double* y, long double* z, bool eclipticOnly = false);
void rotateToDate(const FrameState& frame, std::size_t first, std::size_t last, double* x,
                  double* y, double* z, bool eclipticOnly = false);
void rotateToDate(const FrameState& frame, std::span<const int> indices, long double* x,
                  long double* y, long double* z, bool eclipticOnly = false);
void rotateToDate(const FrameState& frame, std::array<long double, 3>& v, bool eclipticOnly = false);

// Equator of the frame epoch -> J2000 equator, in place, entries 0 ... last inclusive.
void rotateToJ2000(const FrameState& frame, std::size_t last, long double* x, long double* y,
                   long double* z);
void rotateToJ2000(const FrameState& frame, std::size_t last, double* x, double* y, double* z);
void rotateToJ2000(const FrameState& frame, std::span<const int> indices, long double* x,
                   long double* y, long double* z);
void rotateToJ2000(const FrameState& frame, std::array<long double, 3>& v);

// One vector from the ecliptic of the frame epoch to the J2000 ecliptic.
void eclipticOfDateToJ2000(const FrameState& frame, long double& x, long double& y, long double& z);

// Plane rotation P' = P cos - Q sin, Q' = P sin + Q cos, entries 0 ... last inclusive.
void rotateAbout(std::size_t last, long double* p, long double* q, long double cosAngle,
                 long double sinAngle);
void rotateAbout(std::size_t last, double* p, double* q, double cosAngle, double sinAngle);

// Axes built on a unit pole vector.
enum class PoleAxes {
    PoleAsThird, // (a c/r, b c/r, -r), (-b/r, a/r, 0), (a, b, c)
    PoleAsFirst, // (a, b, c), (-b/r, a/r, 0), (-a c/r, -b c/r, r)
};
std::array<std::array<long double, 3>, 3> poleFrameAxes(const std::array<long double, 3>& pole,
                                                        PoleAxes convention);
// Components along the pole-frame axes -> reference components.
std::array<long double, 3> fromPoleFrame(const std::array<long double, 3>& v,
                                         const std::array<long double, 3>& pole,
                                         PoleAxes convention);
// Reference components -> components along the pole-frame axes.
std::array<long double, 3> toPoleFrame(const std::array<long double, 3>& v,
                                       const std::array<long double, 3>& pole,
                                       PoleAxes convention);

} // namespace tarvo
