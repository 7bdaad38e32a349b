// States of the data sets' asteroids at the record epochs, obtained by
// integrating them with the suite's own integrator and force model together
// with the Sun and the planets over the whole span.
//
// Starting elements: /usr/share/kstars/asteroids.dat (kstars-data, JSON
// exported from JPL's small-body database: osculating heliocentric elements
// of the J2000 ecliptic at one epoch). The planets start from the JPL
// ephemeris at that epoch. The integration has no Moon: the Earth-Moon
// barycentre stands for both (data-set-4 model, 5-day steps, order 8), which
// changes the asteroids' orbits by far less than their own mass
// uncertainties do.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "datasets/body_catalogue.h"
#include "datasets/planetary_source.h"

namespace datasets {

inline const char* const defaultAsteroidElementsPath = "/usr/share/kstars/asteroids.dat";

// Osculating elements of one asteroid (J2000 ecliptic, heliocentric).
struct AsteroidElements {
    int number = 0;
    double epoch = 0;     // days from J2000 (TDB taken as TT)
    double a = 0;         // AU
    double e = 0;
    double i = 0, node = 0, perihelion = 0, meanAnomaly = 0;  // degrees
    double absoluteMagnitude = 0;  // H; 0 when absent
    double diameterKm = 0;         // 0 when absent
};

// Reads the elements of the wanted catalogue numbers from the JSON file.
// false with a message naming the file when it is unreadable, malformed or
// lacks one of them.
bool readAsteroidElements(const std::filesystem::path& file, const std::vector<int>& numbers,
                          std::map<int, AsteroidElements>& elements, std::string& message);

// Sampled states: epoch (days from J2000) -> one state per catalogue asteroid,
// in the order of asteroidCatalogue().
struct AsteroidSamples {
    std::vector<long double> epochs;
    std::vector<std::vector<BodyState>> states;  // [epoch][asteroid]
    const std::vector<BodyState>* at(long double epoch) const;
};

struct AsteroidIntegrationReport {
    long steps = 0;
    double seconds = 0;
    std::string planetsStartedFrom;  // the ephemeris the planets started from ("DE405", ...)
};

// Integrates the catalogue asteroids from their element epoch to every epoch
// of `epochs` (sorted, any side of the element epoch) and samples them.
bool integrateAsteroids(PlanetarySource& source, const std::map<int, AsteroidElements>& elements,
                        const std::vector<long double>& epochs, AsteroidSamples& samples,
                        AsteroidIntegrationReport& report, std::string& message);

}  // namespace datasets
