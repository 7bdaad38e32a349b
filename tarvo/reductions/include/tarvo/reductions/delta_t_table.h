// Observed Delta-T: the table ASC/DELTAT.TAB of the data tree and the Auto
// mode built on it.
//
// Inside the observed years Auto interpolates the table (a piecewise cubic
// through every value, continuous in value and rate); for 40 years beyond
// each end a cubic bridge joins it to the polynomials of deltaTAutoSeconds
// with continuous value and rate; farther out the polynomials hold alone.
// Years are Julian epochs, y = 2000 + t/365.25 (t TT days from J2000.0).
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct DeltaTSample {
    double year = 0.0;    // Julian epoch of the value
    double seconds = 0.0; // ΔT = TT - UT1, s
};

// Length of the bridge between the table and the polynomials at each end.
inline constexpr double kDeltaTBridgeYears = 40.0;

struct DeltaTTable {
    std::vector<double> years, seconds; // the samples, years strictly increasing
    std::vector<double> rates;          // s/yr at each sample (the cubic's slopes)
    // The polynomials' value and rate where each bridge meets them.
    double earlyYear = 0.0, earlySeconds = 0.0, earlyRate = 0.0;
    double lateYear = 0.0, lateSeconds = 0.0, lateRate = 0.0;

    bool empty() const { return years.empty(); }
    double firstYear() const { return years.front(); }
    double lastYear() const { return years.back(); }
};

/*
** makeDeltaTTable: the interpolation of a list of observed values.
**
** Given:    samples, years strictly increasing, at least 4
** Returned: the table with the slopes of its cubic pieces and its bridges
** Notes: the slope at an inner sample is that of the parabola through it and
**   its neighbours (unequal spacing allowed); at an end sample the
**   least-squares slope of the five end samples, which the 1-second
**   rounding of the 17th-century values would otherwise make jump.
*/
DeltaTTable makeDeltaTTable(std::vector<DeltaTSample> samples);

/*
** observedDeltaTSeconds: ΔT from the table and its bridges.
**
** Given:    the table, year y
** Returned: seconds, or nothing outside [first - 40, last + 40] years (the
**           polynomials alone then) or for an empty table
*/
std::optional<double> observedDeltaTSeconds(const DeltaTTable& table, double year);

// Auto ΔT in seconds: the table and its bridges where they reach, the
// polynomials of deltaTAutoSeconds elsewhere (and without a table).
double deltaTAutoSeconds(double year, const DeltaTTable* table);

// ---- the file ---------------------------------------------------------------------

// DELTAT.TAB: two header lines, then one line per value: the Julian epoch
// and ΔT in seconds, CR LF line ends.
std::string formatDeltaTTable(std::span<const DeltaTSample> samples, std::string_view source);

/*
** parseDeltaTTable / loadDeltaTTable: reads DELTAT.TAB.
**
** Returned: false with a message naming the file, `table` unchanged, when
**   the file is missing, over 4 MiB, has fewer than 4 or more than 100 000
**   values, a line that is not two numbers, a year outside ±10 000, a ΔT
**   beyond ±10⁶ s, or years that do not increase by at least a day.
*/
bool parseDeltaTTable(std::string_view text, const std::string& fileName, DeltaTTable& table,
                      std::string& message);
bool loadDeltaTTable(const std::filesystem::path& file, DeltaTTable& table, std::string& message);

// ---- the source of the data tree --------------------------------------------------

// What astronomia's data/deltat.js holds: yearly (half-yearly) values from
// 1657, monthly IERS/USNO values, and predictions.
struct AstronomiaDeltaT {
    std::vector<DeltaTSample> historic;   // the half-yearly series
    std::vector<DeltaTSample> monthly;    // the observed monthly values (first of each month)
    std::vector<DeltaTSample> prediction; // the predictions
};

/*
** parseAstronomiaDeltaT: the three series of astronomia's data/deltat.js.
**
** Given:    the text of the module (an object literal `historic: { table:
**           [...], first, last }`, `data: { table, first, firstYM, last,
**           lastYM }`, `prediction: { table, first, last }`)
** Returned: the series with their epochs (the monthly values at 0h of the
**           first day of each month); false with a message when a series is
**           missing, a number is malformed or the counts do not match the
**           stated spans.
*/
bool parseAstronomiaDeltaT(std::string_view text, AstronomiaDeltaT& result, std::string& message);

// The values the data tree keeps: the half-yearly series up to the first
// monthly value, then the monthly values.  The predictions are kept only
// where they continue the observations (within 0.2 s at the last observed
// month, shifted onto it); `note` says what was done with them.
std::vector<DeltaTSample> observedDeltaTSamples(const AstronomiaDeltaT& source, std::string& note);

} // namespace tarvo
