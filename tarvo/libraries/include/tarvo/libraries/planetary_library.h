// Planetary data sets: the state libraries PL*.BIN of precomputed major-body
// states at regular epochs, their description files PL*.DAT, the colour
// files and the parameter files *.PAR of the radial-factor polynomials.
//
// PL*.BIN, little-endian: a signed 16-bit K (bodies per record, the Sun not
// counted), then records of 4 + 36 K bytes: the epoch (signed 32-bit, days
// from J2000) and per body six coordinates x, y, z, vx, vy, vz of 6 bytes,
// a signed 16-bit w and a signed 32-bit f, worth (w + f'/4294967295) / S
// with f' = f, or f + 4294967295 when f < 0, and S the body's position or
// velocity scale from the description file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tarvo/dynamics/body_table.h"

namespace tarvo {

inline constexpr double libraryFractionUnit = 4294967295.0;  // not 2^32
inline constexpr std::size_t libraryCoordinateBytes = 6;
inline constexpr std::size_t libraryBodyBytes = 6 * libraryCoordinateBytes;

// One coordinate as stored.
struct LibraryCoordinate {
    std::int16_t whole = 0;
    std::int32_t fraction = 0;
};

// Value of a stored coordinate, given its scale S.
double decodeLibraryCoordinate(LibraryCoordinate stored, double scale);

// The stored form of `value * scale`; false when it does not fit the 16-bit
// whole part (|value * scale| must stay below 32767).
bool encodeLibraryCoordinate(double value, double scale, LibraryCoordinate& stored);

// Bytes of one record of a library with K bodies.
inline std::size_t libraryRecordBytes(int bodies) { return 4 + libraryBodyBytes * static_cast<std::size_t>(bodies); }

// One record, coordinates still in their stored form.
struct LibraryRecord {
    std::int32_t epoch = 0;  // days from J2000
    std::vector<std::array<LibraryCoordinate, 6>> bodies;  // body blocks 1 .. K in file order
};

// The epoch table of a library.
struct EpochTable {
    int bodiesPerRecord = 0;          // K
    std::vector<std::int32_t> epochs; // file order
    int firstYear = 0;                // INT(smallest epoch / 365.25 + 1986)
    int lastYear = 0;                 // INT(largest epoch / 365.25 + 2014)
    std::string notice;               // names the file when a partial last record was ignored
};

// Epochs of library records lie within this many days of J2000: about
// 27,000 years, beyond any planetary ephemeris; a record dated farther
// out is damaged.
inline constexpr std::int32_t libraryEpochLimit = 10'000'000;

// Reads K and every record's epoch. Fails, naming the file, when K is not
// positive, the file holds no whole record or a record's epoch lies beyond
// libraryEpochLimit (the record and its epoch named); a partial last record
// (a length that is not 2 + n (4 + 36 K) bytes) is ignored and `notice`
// says so.
bool scanLibrary(const std::filesystem::path& file, EpochTable& table, std::string& message);

// Index of the record nearest `target` (days from J2000): an equal epoch is
// taken at once, otherwise the first of the nearest (ties keep the earlier).
std::size_t nearestRecord(const std::vector<std::int32_t>& epochs, long double target);

// Reads record `index` (from 0) of a library of K bodies.
bool readLibraryRecord(const std::filesystem::path& file, int bodiesPerRecord, std::size_t index,
                       LibraryRecord& record, std::string& message);

// The description file PL*.DAT.
struct LibraryBodyDescription {
    double mass = 0;               // 10^24 kg
    double radius = 0;             // Gm
    double relFactor = 0;
    double absoluteMagnitude = 0;  // as read / 100
    double positionScale = 1;      // S_pos
    double velocityScale = 1;      // S_vel
    std::string name;              // 9 characters
};
struct LibraryDescription {
    LibraryBodyDescription sun;                  // no magnitude or scales
    std::vector<LibraryBodyDescription> bodies;  // body blocks 1 .. K
};
bool readLibraryDescription(const std::filesystem::path& file, int bodiesPerRecord, LibraryDescription& description,
                            std::string& message);

// Colour file: up to K + 1 lines "red green blue" (0..255); stops early at
// the end of the file. Colours are red | green << 8 | blue << 16. A line
// with text or a number that is no finite value refuses the file (line
// named); values beyond 0..255 are taken as the nearest end.
bool readLibraryColours(const std::filesystem::path& file, int bodiesPerRecord, std::vector<std::uint32_t>& colours,
                        std::string& message);

// "" when the states of `record` are possible for their bodies; otherwise
// the body block, its name and the field (position, or position or
// velocity) that is absurd for it. Every position lies within a million AU
// and every speed below light's; each body's distance from its centre (the
// Sun, the Earth for the Moon) lies between the perihelion and the
// aphelion (10 % to spare), and its semi-major axis within 10 % of the one,
// that the body has in the `neighbours` (the records nearest in time). A
// record is refused only when it disagrees with every neighbour that can
// judge.
std::string libraryRecordProblem(const LibraryDescription& description, int dataSet,
                                 const LibraryRecord& record,
                                 const std::vector<LibraryRecord>& neighbours);

// Body index of body block b (1 .. K) in data set `dataSet`: the sets 1, 2,
// 6 and 7 list the Moon after the first three asteroids.
int librarySlot(int dataSet, int block);

struct DataSetLoad {
    bool ok = false;
    std::string message;
    long double recordEpoch = 0;   // t0, days from J2000
    long double stillToIntegrate = 0;  // t - t0 (0 when starting at the record)
    int bodiesPerRecord = 0;       // K
    std::string notice;            // a partial last record was ignored (file named)
};

// Fills body rows 0 .. K from the record nearest `target` (or the record
// nearest J2000 when `tidalValueSet`): mass, radius, relFactor,
// absolute magnitude, name, colour, state (positions Gm, velocities km/s,
// heliocentric, the Moon geocentric). Sets moonIndex = K for data sets 3, 8
// and 10. Refuses a library whose K is not the data set's body count or
// does not fit the table, and a record whose states are absurd for their
// bodies (libraryRecordProblem against the two records nearest in time),
// naming the file, the record and the body. The table is untouched when a
// file is unusable.
struct DataSetFiles {
    std::filesystem::path library;      // PL*.BIN
    std::filesystem::path description;  // PL*.DAT
    std::filesystem::path colours;      // PLCOL.DAT
};
DataSetLoad loadDataSet(const DataSetFiles& files, int dataSet, long double target, bool startAtRecord,
                        bool tidalValueSet, BodyTable& table);

// Polynomial coefficients c1..c8 per body row of a parameter file.
struct RadialCoefficients {
    static constexpr int rows = 1001;
    std::vector<std::array<double, 8>> row = std::vector<std::array<double, 8>>(rows);
};

// Reads rows 0 .. lastRow of a *.PAR file (eight free-format numbers per
// row); rows not in the file stay 0.
bool readParameterFile(const std::filesystem::path& file, int lastRow, RadialCoefficients& coefficients,
                       std::string& message);

/*
** radialCorrection: the time polynomial added to a body's radial factor.
**
** Given:
**   coefficients  c1..c4 (T < 0) and c5..c8 (T >= 0) of the body's row
**   t             days from J2000 (TT)
**   dataSet       1..9 (fitted range -10..9 millennia for sets 1-6,
**                 -5..1 for sets 7-9)
** Returned:
**   Q, dimensionless; inside the fitted range the quartic without constant
**   term in T = t / 365250; within 0.25 millennia beyond an end a cubic that
**   starts with the end's value and slope and reaches 0 with zero slope;
**   farther out 0.
*/
double radialCorrection(const std::array<double, 8>& coefficients, long double t, int dataSet);

}  // namespace tarvo
