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
};

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

    SourceOptions options_;
    std::map<std::string, std::unique_ptr<PlanetarySource>> sources_;
    std::map<std::string, AsteroidSamples> asteroidSamples_;
    std::map<int, AsteroidElements> elements_;
    AsteroidIntegrationReport asteroidWork_;
    std::map<int, RadialFitReport> fitReports_;
};

}  // namespace datasets
