// One accuracy comparison: a run of a data set from the record nearest a
// start date, integrated over several spans and compared with the JPL
// ephemeris at the end of each span.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "datasets/planetary_source.h"

namespace accuracy {

struct BodyDifference {
    std::string name;
    double positionKm = 0;          // |r_run - r_JPL|, heliocentric (the Moon geocentric)
    double geocentricMas = 0;       // angle between the geocentric directions, milliarcseconds
};

struct SpanResult {
    double years = 0;               // requested span
    long double endEpoch = 0;       // days from J2000 where the comparison was made
    std::vector<BodyDifference> bodies;
};

struct ComparisonSettings {
    int dataSet = 2;
    std::filesystem::path tree;
    long double startEpoch = 0;          // wanted start, days from J2000 (nearest record taken)
    int direction = +1;
    std::vector<double> spansYears = {1, 10, 30, 50};
    long double frameRenewalDays = 100;
    long double nominalStep = 0;  // 0: the data set's default
    int orderCode = 0;            // 0: the data set's default
};

struct ComparisonResult {
    long double recordEpoch = 0;
    std::vector<SpanResult> spans;
    double seconds = 0;
};

bool compareWithEphemeris(const ComparisonSettings& settings, datasets::PlanetarySource& source,
                          ComparisonResult& result, std::string& message);

}  // namespace accuracy
