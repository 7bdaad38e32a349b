// The star catalogue: the files STARS3D.BIN (26-byte star records),
// STNAMS3D.BIN and STDES3D.BIN (16-byte name and designation records) and
// COSTLAB.DAT (89 three-letter constellation labels), the answer of the star
// prompt with its filters (FILTER.STR, SelStar.dat), and the in-memory star
// table the sky views draw and the event searches compare bodies with.
//
// Angles in the files are integers in units of 2e-9 radian (3141592654
// units make a full circle): right ascension, and the distance from the
// south celestial pole (90 degrees + declination), equator and equinox of
// J2000.  Magnitudes are codes in fortieths: magnitude = (code - 31) / 40.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

inline constexpr std::size_t kStarRecordBytes = 26;
inline constexpr std::size_t kStarTextBytes = 16; // a name or designation record
inline constexpr std::size_t kConstellationCount = 89;
inline constexpr std::size_t kConstellationLabelBytes = 3;
inline constexpr std::int64_t kStarAngleFullCircle = 3141592654; // units of 2e-9 rad
inline constexpr std::int32_t kStarAngleHalfCircle = 1570796327; // π, rounded up
inline constexpr double kStarAngleUnitsPerRadian = 500000000.0;
inline constexpr double kStarUnitVectorScale = 2000000000.0; // stored components
inline constexpr int kMagnitudeCodeOffset = 31;              // code of magnitude 0
// A file of more records than this is no star catalogue (a damaged length).
inline constexpr std::size_t kMaxStarRecords = 4000000;

// ---- one record of STARS3D.BIN ---------------------------------------------------

// The fields of a 26-byte record, decoded (offsets in the comments).
struct StarRecord {
    std::int32_t rightAscension = 0;      // 0: angle units; negative values lie in the second half
    std::int32_t polarDistance = 0;       // 4: |value| from the south pole; sign < 0 flags the
                                          //    star (a proper name); 0 ends the catalogue
    std::int32_t valueA = 0;              // 8, 10: the Hipparcos number (0 for other objects)
    std::array<std::int32_t, 3> motion{}; // 11, 14, 17: space motion, see docs/stars.md
    std::uint16_t magnitudeWord = 0; // 20: low 9 bits the magnitude code, high 7 the colour class
    std::int32_t crossReference = 0; // 22: sign < 0 marks a deep-sky object; |value| holds
                                     //     uncertainty << 23 | designation << 10 | name
};

// Largest magnitude of the three motion values and of value A (24 bits).
inline constexpr std::int32_t kStarValueLimit = 255 * 32768 + 32767;

StarRecord decodeStarRecord(std::span<const unsigned char, kStarRecordBytes> bytes);
// The record's bytes. Values beyond what the layout holds are clipped to
// ±kStarValueLimit; a motion value whose low part would be 0 with a high
// part left is moved one unit towards zero (the layout cannot hold it).
std::array<unsigned char, kStarRecordBytes> encodeStarRecord(const StarRecord& record);

inline int magnitudeCodeOf(std::uint16_t word) {
    return word & 511;
}
inline int colourClassOf(std::uint16_t word) {
    return word >> 9;
}
inline int uncertaintyCodeOf(std::int32_t crossReference) {
    return static_cast<int>(
        (crossReference < 0 ? -static_cast<std::int64_t>(crossReference) : crossReference) /
        8388608);
}
inline int designationRecordOf(std::int32_t crossReference) {
    const std::int64_t v =
        crossReference < 0 ? -static_cast<std::int64_t>(crossReference) : crossReference;
    return static_cast<int>((v % 8388608) / 1024);
}
inline int nameRecordOf(std::int32_t crossReference) {
    const std::int64_t v =
        crossReference < 0 ? -static_cast<std::int64_t>(crossReference) : crossReference;
    return static_cast<int>((v % 8388608) % 1024);
}
// The cross-reference word of an uncertainty code (0..255), a designation
// record (0..8191) and a name record (0..1023); negative for a deep-sky object.
std::int32_t crossReferenceWord(int uncertaintyCode, int designationRecord, int nameRecord,
                                bool deepSky);

// Colour class of a colour index B-V: round((B-V + 1) * 40) within 1..127;
// 0 when the index is unknown.  colourIndexOf is its inverse (class midpoints).
int colourClassFromIndex(double bMinusV, bool known);
double colourIndexOf(int colourClass);

// ---- the star prompt ---------------------------------------------------------------

// Magnitude limits of a load, in fortieths of a magnitude (code - 31).
struct MagnitudeLimits {
    int lower = -1000; // -25
    int upper = 280;   // 7.0
};

// What the answer of the star prompt asks for.
struct StarRequest {
    MagnitudeLimits limits;
    bool regionFilter = false; // "/F": FILTER.STR
    bool flaggedOnly = false;  // "/N": stars with a proper name
    bool listFilter = false;   // "/S": the sequence numbers of SelStar.dat
};

/*
** parseStarAnswer: the answer of "Enter Max Magnitude of Stars (...) or
** Magn. Range [default = 7.0] ".
**
** Given:   the typed text; the faintest magnitude of the catalogue in
**          fortieths (largest code - 31)
** Returned: limits: "m" sets upper = 40 m; "a-b" (a minus sign after the
**          first character) lower = 40 a and upper = 40 b, swapped when
**          lower > upper; an empty answer or an upper of 0 gives 280 (7.0);
**          an upper below 4 becomes 4; an upper beyond the faintest is cut
**          to it.  The options /F, /N, /S may stand anywhere (either case).
*/
StarRequest parseStarAnswer(const std::string& answer, int faintestFortieths);

// Region of FILTER.STR, in the catalogue's angle units.
struct RegionFilter {
    double rightAscensionCentre = 0;    // radians, 0..2π
    double rightAscensionHalfWidth = 0; // radians
    double polarDistanceMin = 0;        // radians from the south pole
    double polarDistanceMax = 0;
};
// FILTER.STR: a line skipped, then "RA centre, half-width (hours) comment"
// and "Dec centre, half-width (degrees) comment".  false with a message
// naming the file when it cannot be read or is shorter than three lines.
bool readRegionFilter(const std::filesystem::path& file, RegionFilter& region,
                      std::string& message);
// The text of a FILTER.STR that selects the region around Orion, written
// when the user has none yet.
std::string defaultRegionFilterText();
bool insideRegion(const RegionFilter& region, std::int32_t rightAscension,
                  std::int32_t polarDistance);

// SelStar.dat: star sequence numbers, one per field, read until a 0 or the
// end of the file; returned sorted ascending (a file in any order selects
// the same stars).  Empty when the file is missing.  Fields that are no
// number read as 0 and so end the list, as in every free-format file.
std::vector<std::int64_t> readSelectionFile(const std::filesystem::path& file);

// ---- the catalogue in memory ------------------------------------------------------

/*
** StarTable: the stars accepted by the last load, numbered 0 .. size()-1
** in file order (the file's sequence numbers are kept in `sequence`).
**
** Unit vectors are J2000 equatorial, each component stored as
** round(2e9 × component).  `magnitude` holds the magnitude code (0..511)
** plus 1024 for a deep-sky object.  `packed` = colour class × 8192 + name
** record × 2097152 + designation record.  Names are 16-character blank
** padded strings, designations trimmed, both indexed by record number with
** entry 0 the empty string; a record number past the end of its file reads
** as the empty string.
*/
struct StarTable {
    std::vector<std::int64_t> sequence;                  // 1-based record number in STARS3D.BIN
    std::vector<std::int32_t> x, y, z;                   // unit vector × 2e9
    std::vector<std::int32_t> valueA;                    // signed like the record's polar distance
    std::vector<std::int32_t> motion1, motion2, motion3; // offsets 11, 14, 17
    std::vector<std::uint32_t> packed;
    std::vector<std::uint8_t> uncertainty; // b: 2^(b/10) mas; radius of a deep-sky object in 10"
    std::vector<std::uint16_t> magnitude;
    std::vector<std::string> names;        // by name record number
    std::vector<std::string> designations; // by designation record number
    std::array<std::string, kConstellationCount> constellations{};
    // Where each constellation label is written: the mean direction of the
    // accepted stars whose designation names that constellation (unit
    // vector, J2000 equator; all zero when none was accepted).
    std::array<std::array<double, 3>, kConstellationCount> labelDirections{};
    int faintestFortieths = 0; // of the whole catalogue, (largest code - 31)
    std::int64_t recordsRead = 0;

    std::size_t size() const { return x.size(); }
    bool empty() const { return x.empty(); }
    // The unit vector of star i (J2000 equator), double precision.
    std::array<double, 3> unitVector(std::size_t i) const;
    double visualMagnitude(std::size_t i) const; // (code - 31) / 40
    bool deepSky(std::size_t i) const { return magnitude[i] >= 1024; }
    int colourClass(std::size_t i) const { return static_cast<int>(packed[i] / 8192 % 256); }
    const std::string& name(std::size_t i) const;        // blank padded, "" for none
    const std::string& designation(std::size_t i) const; // trimmed, "" for none
    // The motion values (offsets 11, 14, 17) as the vector W of the space
    // motion: û(t) = û + 2.5e-14 · t · W, t days from J2000.
    std::array<double, 3> motionVector(std::size_t i) const;
    void clear();
};

// The files of a load.
struct StarFiles {
    std::filesystem::path stars;          // STARS3D.BIN
    std::filesystem::path names;          // STNAMS3D.BIN
    std::filesystem::path designations;   // STDES3D.BIN
    std::filesystem::path constellations; // COSTLAB.DAT
    std::filesystem::path regionFilter;   // FILTER.STR (read with /F)
    std::filesystem::path selection;      // SelStar.dat (read with /S)
};

// The faintest magnitude of the whole catalogue in fortieths, read from the
// magnitude codes of every record; false with a message when the file is
// missing or damaged.
bool faintestOfCatalogue(const std::filesystem::path& stars, int& faintestFortieths,
                         std::string& message);

struct StarLoadResult {
    bool ok = false; // false: `table` is unchanged and `message` says why
    std::size_t accepted = 0;
    std::string message; // names the file at fault
};

/*
** loadStarCatalogue: reads the catalogue into `table`, taking the stars
** that pass the request.
**
** Every file is checked before anything is taken: STARS3D.BIN must be a
** whole number of 26-byte records (at most kMaxStarRecords), every record
** up to the end marker must hold a polar distance within 0..π and a right
** ascension within the circle; the name and designation files must be whole
** numbers of 16-byte records and COSTLAB.DAT hold 89 labels.  A file that
** fails leaves `table` as it was.  Missing star files give an empty table
** (ok, no stars); a missing SelStar.dat leaves the list filter without effect.
*/
StarLoadResult loadStarCatalogue(const StarFiles& files, const StarRequest& request,
                                 StarTable& table);

} // namespace tarvo
