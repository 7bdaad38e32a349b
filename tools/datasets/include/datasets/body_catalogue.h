// The bodies the planetary data sets are made of: planets, the Earth or the
// Earth-Moon barycentre, the geocentric Moon and asteroids, with their
// published physical data, and the block order of each data set's library.
#pragma once

#include <string>
#include <vector>

namespace datasets {

enum class BodyKind { planet, earth, earthMoonBarycentre, moon, asteroid };

// One body block of a library.
struct BodyEntry {
    BodyKind kind = BodyKind::planet;
    int jplNumber = 0;          // JPL body number (1 Mercury .. 9 Pluto, 3 Earth, 10 Moon, 13 EMB); 0 for asteroids
    int asteroidNumber = 0;     // catalogue number of an asteroid
    std::string name;           // as written in the description file (9 characters kept)
    double radiusKm = 0;        // mean radius, km (asteroids: from the element source when it has one)
    double absoluteMagnitude = 0;  // H (asteroids: from the element source when it has one)
    double publishedMass = 0;   // 10^24 kg, used when the ephemeris header has no value for it
    const char* jplMassConstant = "";  // header constant of the mass ("GM1", "MA0001", ...), "" for none
};

// Sun: radius 695.7 thousand km (IAU 2015 nominal), its name "SUN".
inline constexpr double sunRadiusKm = 695700.0;

// The asteroids the data sets carry: Ceres, Pallas and Vesta (the major
// block), then the 32 perturbing asteroids of data set 1, the heaviest of the
// DE431 asteroids after those three, heaviest first; data set 6 takes the
// first 13.
const std::vector<BodyEntry>& asteroidCatalogue();

// Body blocks 1..K of data set 1..10 in library order.
std::vector<BodyEntry> dataSetBlocks(int dataSet);

// Whether a data set carries asteroids (sets 1, 2, 4, 6, 7).
bool dataSetHasAsteroids(int dataSet);

// Whether a data set is built with the older constants (sets 7-9: AU
// 149.597870691 Gm) and always from DE405/DE406.
bool dataSetUsesOldConstants(int dataSet);

}  // namespace datasets
