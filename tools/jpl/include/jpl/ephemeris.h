// Positions and velocities from a JPL development ephemeris.
//
// Two containers are read: the standard JPL binary files (DE405, DE406,
// DE430, DE431, DE440, DE441 in either byte order) and the DE405 table of the
// casacore data package (a directory holding table.dat and table.f0i).
// Records are read from the file on demand and the last one is kept, so a
// multi-gigabyte long-span file costs one record of memory. An Ephemeris is
// not safe to share between threads.
//
// Errors are returned, never thrown: every failing call returns false (or a
// null pointer) and leaves a message naming the file in `message`.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "jpl/bodies.h"
#include "jpl/ephemeris_header.h"

namespace jpl {

class RecordSource;

enum class LengthUnit { AstronomicalUnit, Kilometre };

// Position and velocity of one body relative to another, ICRF axes.
struct StateVector {
    std::array<long double, 3> position{};  // au or km
    std::array<long double, 3> velocity{};  // au/day or km/day
};

// Raw value of one series: km and km/day for bodies, rad and rad/day for
// nutations and librations, rad/day and rad/day^2 for the mantle velocity,
// s and s/day for TT-TDB.
struct SeriesValue {
    int components = 0;
    std::array<long double, 3> value{};
    std::array<long double, 3> rate{};  // per day
};

class Ephemeris {
public:
    // Opens a JPL binary file, or a casacore DE405 table given as its
    // directory or as any file inside it.
    static std::unique_ptr<Ephemeris> open(const std::filesystem::path& path, std::string& message);
    static std::unique_ptr<Ephemeris> openBinaryFile(const std::filesystem::path& file, std::string& message);
    static std::unique_ptr<Ephemeris> openCasacoreTable(const std::filesystem::path& directory,
                                                        std::string& message);

    ~Ephemeris();
    Ephemeris(const Ephemeris&) = delete;
    Ephemeris& operator=(const Ephemeris&) = delete;

    const EphemerisHeader& header() const { return header_; }

    // True when the TDB Julian date lies inside the data records (ends included).
    bool covers(long double jdTdb) const;

    bool hasSeries(Series series) const { return header_.layout[static_cast<int>(series)].present(); }

    // One series at a TDB Julian date.
    bool evaluate(Series series, long double jdTdb, SeriesValue& value, std::string& message);

    // State of `target` relative to `centre` (bodies 1..13) at a TDB Julian date.
    bool state(Body target, Body centre, long double jdTdb, StateVector& result, std::string& message,
               LengthUnit unit = LengthUnit::AstronomicalUnit);

private:
    Ephemeris(EphemerisHeader header, std::unique_ptr<RecordSource> records);

    bool loadRecordFor(long double jdTdb, std::string& message);
    bool barycentricState(Body body, long double jdTdb, StateVector& kmState, std::string& message);

    EphemerisHeader header_;
    std::unique_ptr<RecordSource> records_;
    std::vector<double> record_;  // words of the loaded record, dates included
    long double recordStartJd_ = 0;
    std::size_t loadedRecord_ = static_cast<std::size_t>(-1);
};

}  // namespace jpl
