// The asteroid and comet libraries of the BIN directory.
//
// ASTEREL2.BIN: a 10-byte header (epoch JD as a double, a 16-bit D) then one
// 40-byte record per asteroid number: record n is asteroid n, an all-blank
// record is a number the library does not hold. MIBODIF2.BIN: 13-byte
// difference records for asteroids 1 ... 4·D, which move the base elements
// towards one published source or another. COMETS.BIN: 100-byte comet
// records holding heliocentric J2000 equatorial states at their own epochs.
// Every number is little-endian. docs/minor-bodies.md describes the fields.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvo {

inline constexpr std::size_t asteroidHeaderBytes = 10;
inline constexpr std::size_t asteroidRecordBytes = 40;
inline constexpr std::size_t differenceRecordBytes = 13;
inline constexpr std::size_t cometRecordBytes = 100;
inline constexpr int libraryNameLength = 9;

// One asteroid record as stored (the integer codes, not yet decoded).
struct AsteroidRecord {
    std::string name;                  // up to 9 characters
    std::uint8_t magnitudeTimes10 = 0; // H x 10
    std::int16_t classAndDiameter = 0; // class * 8192 + diameter (km) * 4
    std::int32_t eccentricity = 0;     // e x 2e9
    std::int32_t inclination = 0;      // degrees x 1e7
    std::int32_t perihelion = 0;       // omega, degrees x 1e7 (may be negative)
    std::int32_t node = 0;             // Omega, degrees x 1e7 (may be negative)
    std::int16_t axisWhole = 0;        // integer part of a, AU
    std::int32_t axisFraction = 0;     // fractional part of a x 2e9
    std::int32_t meanAnomaly = 0;      // M, degrees x 1e7 (may be negative)
    std::uint8_t uncertaintyCode = 0;  // position uncertainty 2^(b1/10) km
    std::uint8_t growthCode = 0;       // its growth 2^(b2/10) km per year
};

// One difference record: scale 2^s and the differences of e, i, omega,
// Omega, a and M in the units of the base values.
struct DifferenceRecord {
    std::uint8_t scale = 0;
    std::array<std::int16_t, 6> d{};
};

enum class ElementSource { Average, Astorb, AstDys, TwinLib };
// The weight of a source in the decoding: 0, -1, +1, +2.
int sourceWeight(ElementSource source);

// Decoded elements of an asteroid (J2000 ecliptic, heliocentric).
struct AsteroidElementsDecoded {
    int number = 0;
    std::string name;
    double eccentricity = 0;
    double inclination = 0, perihelion = 0, node = 0, meanAnomaly = 0; // degrees, [0, 360)
    double semiMajorAxis = 0;                                          // AU
    double absoluteMagnitude = 0;
    int massClass = 0; // 0 ... 3
    double diameterKm = 0;
    double massE24kg = 0;             // 10^24 kg
    double positionUncertaintyKm = 0; // at the library epoch
    double uncertaintyGrowthKmPerYear = 0;
    std::string colourCode; // BBGGRR of a clone, empty for the default colour
};

// Mass (10^24 kg) from the density class and the diameter (km); asteroids
// 1, 2 and 4 have their own fixed masses.
double asteroidMass(int number, int massClass, double diameterKm);

std::array<unsigned char, asteroidRecordBytes> encodeAsteroidRecord(const AsteroidRecord& record);
AsteroidRecord decodeAsteroidRecord(const unsigned char* bytes);
std::array<unsigned char, differenceRecordBytes>
encodeDifferenceRecord(const DifferenceRecord& record);
DifferenceRecord decodeDifferenceRecord(const unsigned char* bytes);

// Elements of a record; `difference` null (or the weight 0) gives the base
// elements. `weights` are the seven multipliers of the clones: element k
// uses w0 + w_k (k = 1 ... 6) when given, else the source weight alone.
AsteroidElementsDecoded decodeElements(int number, const AsteroidRecord& record,
                                       const DifferenceRecord* difference, int sourceWeightValue,
                                       const std::array<double, 7>* weights = nullptr);

// Record codes for elements (the builder's side): angles turned into the
// range -180 ... 180 so that they fit the signed fields. false with a
// message for values the layout cannot hold (e >= 1.07, a >= 32768 AU).
bool encodeElements(const AsteroidElementsDecoded& elements, AsteroidRecord& record,
                    std::string& message);

class AsteroidLibrary {
  public:
    // Reads ASTEREL2.BIN and MIBODIF2.BIN of `binDirectory`; false with a
    // message naming the file when one is missing, truncated or of a length
    // no whole number of records makes, or when the difference file holds
    // fewer records than D promises.
    bool open(const std::filesystem::path& binDirectory, std::string& message);

    double epochJd() const { return epochJd_; }
    int differenceQuarter() const { return differenceQuarter_; } // D
    int recordCount() const {
        return static_cast<int>((bytes_.size() - asteroidHeaderBytes) / asteroidRecordBytes);
    }

    // false for a number outside 1 ... recordCount() or an empty record
    // (the "not in Library" case).
    bool find(int number, AsteroidRecord& record) const;
    // The difference record of asteroid `number`, or null (numbers above 4·D).
    const DifferenceRecord* difference(int number) const;
    // Elements of asteroid `number` for a source; false when not in the library.
    bool elements(int number, ElementSource source, AsteroidElementsDecoded& out) const;
    // Number of the first record whose name, in upper case without trailing
    // blanks, equals `name` in upper case; 0 when none does. Uses an index
    // built on the first call.
    int findByName(const std::string& name) const;

  private:
    std::vector<unsigned char> bytes_;
    std::vector<DifferenceRecord> differences_;
    double epochJd_ = 0;
    int differenceQuarter_ = 0;
    mutable std::unordered_map<std::string, int> nameIndex_;
    mutable bool indexed_ = false;
};

struct CometRecord {
    std::string name;        // up to 9 characters
    std::string designation; // up to 23 characters
    std::int32_t epochJ = 0; // epoch JD = J - 0.5
    double slopeK = 0;       // magnitude slope K
    double absoluteMagnitude = 0;
    std::array<double, 3> position{};        // Gm, heliocentric J2000 equator
    std::array<double, 3> velocity{};        // km/s
    std::array<float, 3> nonGravitational{}; // A1, A2, A3, AU/day^2
};

std::array<unsigned char, cometRecordBytes> encodeCometRecord(const CometRecord& record);
CometRecord decodeCometRecord(const unsigned char* bytes);

class CometLibrary {
  public:
    bool open(const std::filesystem::path& binDirectory, std::string& message);
    int count() const { return static_cast<int>(records_.size()); }
    const CometRecord& record(int index) const { return records_[static_cast<std::size_t>(index)]; }
    // Index of the first comet whose 9-character name equals the first 9
    // characters of `name` (upper case, trailing blanks dropped); -1 when none.
    int findByName(const std::string& name) const;

  private:
    std::vector<CometRecord> records_;
};

// Upper case without trailing blanks: the form names are compared in.
std::string libraryNameKey(const std::string& name);

} // namespace tarvo
