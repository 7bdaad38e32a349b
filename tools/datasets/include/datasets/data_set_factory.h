// Making the contents of the planetary data sets 1..10 from the JPL
// ephemeris and the asteroid elements: record epochs, masses, radii,
// magnitudes, radial factors and the states of every body at every epoch.
//
// Sets 7-9 (the older constants) always come from the DE405/DE406 source;
// sets 1-6 and 10 from the ephemeris the user gives, by default the same.
// The asteroids are integrated once per ephemeris and shared by every data
// set that carries them; when the ephemeris does not reach their elements'
// epoch, the planets of that integration start from the sets 7-9 source.
// A data set holds at most `mostRecords` records: a long-span ephemeris is
// limited with firstDay/lastDay or recordDays.
#pragma once

#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "datasets/asteroid_ephemeris.h"
#include "datasets/library_writer.h"
#include "datasets/planetary_source.h"
#include "datasets/radial_factor_fit.h"

namespace datasets {

struct SourceOptions {
    std::filesystem::path ephemeris = defaultEphemerisPath;      // sets 1-6 and 10
    std::filesystem::path oldEphemeris = defaultEphemerisPath;   // sets 7-9 (DE405 = DE406)
    std::filesystem::path asteroidElements = defaultAsteroidElementsPath;
    int recordDays = 10;  // spacing of the record epochs (multiples of it from J2000)
    // Most records a data set is built with: every state is held in memory,
    // 250000 records of data set 1 take some 2 GB (and 400 MB of library).
    std::size_t mostRecords = 250000;
    // Optional limits of the records (days from J2000), inside the ephemeris span.
    long double firstDay = -std::numeric_limits<long double>::infinity();
    long double lastDay = std::numeric_limits<long double>::infinity();
    // Fit of the inner planets' radial factors (years = 0: none).
    RadialFitSettings radialFit;
    // Records beyond the ephemeris, from the data set's own model integrated
    // this many years before the first and after the last record (0: none),
    // every `extendRecordDays` days.
    double extendYears = 0;
    int extendRecordDays = 100;
    // Or the years (astronomical numbering: 0 is 1 BC) the records reach by
    // that integration: from the first day of firstYear to the last day of
    // lastYear, each end covered by a record at or beyond it. NaN: not set.
    // The spacing widens away from the ephemeris (extensionSpacingDays).
    double spanFirstYear = std::numeric_limits<double>::quiet_NaN();
    double spanLastYear = std::numeric_limits<double>::quiet_NaN();
    // A wider span for data sets 1-6 alone (NaN: the span above).
    double wideFirstYear = std::numeric_limits<double>::quiet_NaN();
    double wideLastYear = std::numeric_limits<double>::quiet_NaN();
};

// Spacing of the records beyond the ephemeris, in days, `yearsBeyond` years
// past its end: `baseDays` for the first century, then doubled after 100,
// 300, 700 and 1500 years (at most 16 times the base). Far from the
// ephemeris a run still starts at most 8 base spacings from its record.
long double extensionSpacingDays(long double yearsBeyond, long double baseDays);

// Record epochs (days from J2000, whole multiples of their spacing) beyond
// t0 in `direction` (-1, +1), out to `reachDays` from t0; with coverEnd the
// last one lies at or beyond the reach, else within it.
std::vector<std::int32_t> extensionEpochs(long double t0, int direction, long double reachDays, long double baseDays,
                                          bool coverEnd);

// Two-body motion about the Sun: the state (Gm, km/s) `seconds` after
// `start`, for the gravitational parameter mu (km^3/s^2); elliptic orbits.
BodyState keplerPropagate(const BodyState& start, long double seconds, long double muKm3PerS2);

// Days from J2000 of the first day of a year (Julian years of 365.25 days).
inline long double yearStartDay(double year) { return (static_cast<long double>(year) - 2000.0L) * 365.25L; }

// The years the records of a data set reach by integration, first and last
// (both NaN when they reach no further than the ephemeris).
std::pair<double, double> integratedYears(const SourceOptions& options, int dataSet);

class DataSetFactory {
public:
    explicit DataSetFactory(SourceOptions options) : options_(std::move(options)) {}

    // The contents of data set 1..10.
    bool contents(int dataSet, DataSetContents& result, std::string& message);

    // The ephemeris a data set is sampled from (opened on first use).
    PlanetarySource* sourceFor(int dataSet, std::string& message);

    // Record epochs of a data set (days from J2000).
    bool recordEpochs(int dataSet, std::vector<std::int32_t>& epochs, std::string& message);

    // Seconds and steps the asteroid integrations took so far.
    AsteroidIntegrationReport asteroidWork() const { return asteroidWork_; }

    const SourceOptions& options() const { return options_; }

    // What the radial-factor fit of a data set found.
    const RadialFitReport* fitReport(int dataSet) const;

private:
    bool extendBeyondEphemeris(DataSetContents& contents, std::string& message);
    bool asteroidsFor(int dataSet, const AsteroidSamples*& samples, std::string& message);
    bool integrateBeyond(const DataSetContents& c, int direction, long double reach, bool coverEnd,
                         std::vector<std::int32_t>& epochs, std::vector<std::vector<BodyState>>& states,
                         std::string& message);

    SourceOptions options_;
    std::map<std::string, std::unique_ptr<PlanetarySource>> sources_;
    std::map<std::string, AsteroidSamples> asteroidSamples_;
    std::map<int, AsteroidElements> elements_;
    AsteroidIntegrationReport asteroidWork_;
    std::map<int, RadialFitReport> fitReports_;
    // The records beyond the ephemeris of the data sets whose integration
    // others share (set 2 lends to set 3, set 7 to set 8), by set and direction.
    struct Extension {
        std::vector<BodyEntry> blocks;
        std::vector<double> masses;  // 10^24 kg
        std::vector<std::int32_t> epochs;
        std::vector<std::vector<BodyState>> states;
    };
    std::map<std::pair<int, int>, Extension> lent_;
    std::map<int, DataSetContents> lenderContents_;  // built early for a borrower, not yet taken
    bool lendTo(const DataSetContents& c, std::size_t from, const Extension& lent,
                std::vector<std::vector<BodyState>>& states);
};

}  // namespace datasets
