// Published physical data of the data sets' bodies.
//
// Planet and Moon radii: IAU WG on Cartographic Coordinates and Rotational
// Elements (Archinal et al. 2018), equatorial for the Earth (the suite's
// R_E), mean otherwise. Absolute magnitudes H = V(1,0): Mallama & Hilton
// (2018). Asteroid masses: the compilation of Carry (2012, Planet. Space
// Sci. 73, 98) rounded to three digits, except Ceres and Vesta (Dawn); they
// are uncertain by 10 to 50 per cent beyond the first three and serve only
// as perturbers. The header of the ephemeris overrides any mass it carries.
#include "datasets/body_catalogue.h"

namespace datasets {
namespace {

BodyEntry planet(int jpl, const char* name, double radiusKm, double H, const char* massConstant)
{
    BodyEntry b;
    b.kind = BodyKind::planet;
    b.jplNumber = jpl;
    b.name = name;
    b.radiusKm = radiusKm;
    b.absoluteMagnitude = H;
    b.jplMassConstant = massConstant;
    return b;
}

BodyEntry asteroid(int number, const char* name, double massKg, const char* massConstant = "")
{
    BodyEntry b;
    b.kind = BodyKind::asteroid;
    b.asteroidNumber = number;
    b.name = name;
    b.publishedMass = massKg / 1e24;
    b.jplMassConstant = massConstant;
    return b;
}

std::vector<BodyEntry> planets(bool barycentre)
{
    std::vector<BodyEntry> p = {
        planet(1, "MERCURY", 2439.7, -0.613, "GM1"),
        planet(2, "VENUS", 6051.8, -4.384, "GM2"),
        planet(3, "EARTH", 6378.137, -3.99, ""),
        planet(4, "MARS", 3389.5, -1.601, "GM4"),
        planet(5, "JUPITER", 69911.0, -9.395, "GM5"),
        planet(6, "SATURN", 58232.0, -8.914, "GM6"),
        planet(7, "URANUS", 25362.0, -7.110, "GM7"),
        planet(8, "NEPTUNE", 24622.0, -7.00, "GM8"),
        planet(9, "PLUTO", 1188.3, -1.01, "GM9"),
    };
    if (barycentre) {
        p[2].kind = BodyKind::earthMoonBarycentre;
        p[2].jplNumber = 13;
        p[2].name = "EMB";
    } else {
        p[2].kind = BodyKind::earth;
    }
    return p;
}

BodyEntry moon()
{
    BodyEntry m = planet(10, "MOON", 1737.4, 0.28, "");
    m.kind = BodyKind::moon;
    return m;
}

}  // namespace

const std::vector<BodyEntry>& asteroidCatalogue()
{
    static const std::vector<BodyEntry> catalogue = {
        asteroid(1, "CERES", 9.3835e20, "MA0001"),
        asteroid(2, "PALLAS", 2.04e20, "MA0002"),
        asteroid(4, "VESTA", 2.5908e20, "MA0004"),
        // The perturbing asteroids, heaviest first.
        asteroid(10, "HYGIEA", 8.67e19),
        asteroid(511, "DAVIDA", 3.84e19),
        asteroid(704, "INTERAMNI", 3.79e19),
        asteroid(15, "EUNOMIA", 3.12e19),
        asteroid(3, "JUNO", 2.86e19),
        asteroid(16, "PSYCHE", 2.72e19),
        asteroid(52, "EUROPA", 2.38e19),
        asteroid(88, "THISBE", 1.53e19),
        asteroid(87, "SYLVIA", 1.48e19),
        asteroid(65, "CYBELE", 1.48e19),
        asteroid(6, "HEBE", 1.39e19),
        asteroid(7, "IRIS", 1.37e19),
        asteroid(29, "AMPHITRIT", 1.29e19),
        asteroid(31, "EUPHROSYN", 1.27e19),
        asteroid(24, "THEMIS", 1.14e19),
        asteroid(107, "CAMILLA", 1.12e19),
        asteroid(324, "BAMBERGA", 1.03e19),
        asteroid(451, "PATIENTIA", 1.0e19),
        asteroid(532, "HERCULINA", 1.0e19),
        asteroid(154, "BERTHA", 9.2e18),
        asteroid(423, "DIOTIMA", 8.8e18),
        asteroid(13, "EGERIA", 8.8e18),
        asteroid(19, "FORTUNA", 8.6e18),
        asteroid(9, "METIS", 8.3e18),
        asteroid(375, "URSULA", 8.0e18),
        asteroid(130, "ELEKTRA", 6.6e18),
        asteroid(41, "DAPHNE", 6.1e18),
        asteroid(48, "DORIS", 6.1e18),
        asteroid(54, "ALEXANDRA", 6.0e18),
        asteroid(94, "AURORA", 6.0e18),
        asteroid(45, "EUGENIA", 5.69e18),
        asteroid(11, "PARTHENOP", 5.13e18),
    };
    return catalogue;
}

bool dataSetHasAsteroids(int dataSet)
{
    return dataSet == 1 || dataSet == 2 || dataSet == 4 || dataSet == 6 || dataSet == 7;
}

bool dataSetUsesOldConstants(int dataSet) { return dataSet >= 7 && dataSet <= 9; }

std::vector<BodyEntry> dataSetBlocks(int dataSet)
{
    const auto& asteroids = asteroidCatalogue();
    std::vector<BodyEntry> blocks;
    auto addAsteroids = [&](std::size_t first, std::size_t count) {
        for (std::size_t k = first; k < first + count; ++k) blocks.push_back(asteroids[k]);
    };
    switch (dataSet) {
        case 1:
        case 2:
        case 6:
        case 7: {
            // Planets, the major-block asteroids, then the Moon, then the perturbers.
            blocks = planets(false);
            addAsteroids(0, 3);
            blocks.push_back(moon());
            if (dataSet == 1) addAsteroids(3, 32);
            if (dataSet == 6) addAsteroids(3, 13);
            break;
        }
        case 3:
        case 8:
            blocks = planets(false);
            blocks.push_back(moon());
            break;
        case 4:
            blocks = planets(true);
            addAsteroids(0, 3);
            break;
        case 5:
        case 9:
            blocks = planets(true);
            break;
        case 10: {
            // Geocentric satellite runs: the planets that move the Earth-Moon
            // system most, the Earth at index 2 and the Moon last.
            const std::vector<BodyEntry> p = planets(false);
            blocks = {p[1], p[2], p[3], p[4], p[5], moon()};
            break;
        }
        default:
            break;
    }
    return blocks;
}

}  // namespace datasets
