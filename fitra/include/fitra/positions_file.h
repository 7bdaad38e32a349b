// The positions file (.POS) of a fit and its magnitude file (.MAG), read
// into the observation table. Both are the user's files: the reader checks
// the size, skips and counts lines it cannot use, and reports in a message
// naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fitra {

struct Observation {
    int lineNo = 0;            // line of the positions file (the first observation is line 4)
    long double rawDate = 0;   // the date field as written (sign included)
    long double obsTime = 0;   // days from J2000.0, TT
    long double obsA = 0;      // RA or longitude (degrees), X, or radar range (Gm) / range-rate
    long double obsB = 0;      // Dec or latitude (degrees), Y, or the radar marker
    long double obsWeight = 0; // a-priori standard deviation (arcseconds optical), Z
    long double siteS1 = 0, siteS2 = 0, siteS3 = 0; // see SiteMode
    long double siteB1 = 0, siteB2 = 0, siteB3 = 0; // second radar station
    int obsKind = 0;                                // 0 optical, -1 radar range, 1 radar range-rate
    bool excluded = false;
    long double magnitude = 99;
    bool hasMag = false;
    long double weightFactor = 1;
};

struct PositionsOptions {
    bool orthogonal = false;
    bool equatorial = true;
    bool universalTime = false;
    bool weighted = false;
    bool randomExclude = false;
    int excludePercent = 75;
    // ΔT (days) of a TT day count, used when the times are UT.
    std::function<long double(long double)> deltaT;
    // A uniform deviate in [0, 1) for the random exclusion.
    std::function<double()> uniform;
};

struct PositionsFile {
    std::string objectName;    // at most 8 characters
    bool calendarDates = true; // date-format flag
    int siteMode = -1;   // >0 geodetic per line, 0 one site, <0 parallax constants / spacecraft
    int angleFormat = 2; // 0 degrees, 1 hours and degrees, 2 packed sexagesimal
    std::vector<Observation> observations;
    std::size_t skippedLines = 0;
    std::vector<std::string> skipReasons;
};

inline constexpr std::uintmax_t kPositionsFileBytesLimit = 64u << 20; // 64 MiB

// Days from J2000.0 of a packed calendar date YYYYMMDD.dddd (positive).
long double packedDateToDays(long double packed);
// A packed sexagesimal value (hh.mmsssss or ±dd.mmssss) as a decimal number.
long double unpackSexagesimal(long double packed);

// Reads `file` and its .MAG companion. False, with a message naming the
// file, when it is missing, too large, has no header or no observation;
// `out` is then unchanged.
bool readPositionsFile(const std::filesystem::path& file, const PositionsOptions& options,
                       PositionsFile& out, std::string& message);

} // namespace fitra
