// Published physical data of the data sets' bodies.
//
// Planet and Moon radii: IAU WG on Cartographic Coordinates and Rotational
// Elements (Archinal et al. 2018), equatorial for the Earth (the suite's
// R_E), mean otherwise. Absolute magnitudes H = V(1,0): Mallama & Hilton
// (2018). Asteroid masses: the GMs of the 343 asteroids of the JPL DE430 and
// DE431 integrations (Folkner et al. 2014, The Planetary and Lunar
// Ephemerides DE430 and DE431, IPN Progress Report 42-196; the constants
// MAnnnn of the DE431 header), the perturbers being the heaviest of them
// after Ceres, Pallas and Vesta. The header of the ephemeris a data set is
// built from overrides the masses it carries (Ceres, Pallas and Vesta).
#include "datasets/body_catalogue.h"

#include "tarvo/dynamics/physical_constants.h"

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

// 10^24 kg of a GM in au^3/day^2, as the GMs of an ephemeris header become
// masses (PlanetarySource::headerMass): GM au^3 / G, with the au of DE430
// and DE431 (149.5978707 Gm, the suite's).
constexpr long double massFromGm(long double gmAu3PerDay2)
{
    return gmAu3PerDay2 * tarvo::astronomicalUnit * tarvo::astronomicalUnit * tarvo::astronomicalUnit /
           tarvo::gravitationalConstant;
}

BodyEntry asteroid(int number, const char* name, long double gmAu3PerDay2, const char* massConstant = "")
{
    BodyEntry b;
    b.kind = BodyKind::asteroid;
    b.asteroidNumber = number;
    b.name = name;
    b.publishedMass = static_cast<double>(massFromGm(gmAu3PerDay2));
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
    // Number, name (9 characters), GM in au^3/day^2 as the DE431 header
    // gives it (MAnnnn) and, for the major block, the header constant that
    // overrides it.
    static const std::vector<BodyEntry> catalogue = {
        asteroid(1, "CERES", 1.400476556172344e-13L, "MA0001"),
        asteroid(2, "PALLAS", 3.104448198938713e-14L, "MA0002"),
        asteroid(4, "VESTA", 3.85475018780881e-14L, "MA0004"),
        // The 32 perturbers of data set 1, heaviest first; data set 6 takes the first 13.
        asteroid(10, "HYGIEA", 1.235800787294125e-14L),
        asteroid(31, "EUPHROSYN", 6.343280473648602e-15L),
        asteroid(704, "INTERAMNI", 5.256168678493662e-15L),
        asteroid(511, "DAVIDA", 5.198126979457498e-15L),
        asteroid(15, "EUNOMIA", 4.678307418350905e-15L),
        asteroid(3, "JUNO", 3.617538317147937e-15L),
        asteroid(16, "PSYCHE", 3.411586826193812e-15L),
        asteroid(65, "CYBELE", 3.180659282652541e-15L),
        asteroid(88, "THISBE", 2.577114127311047e-15L),
        asteroid(48, "DORIS", 2.531091726015068e-15L),
        asteroid(52, "EUROPA", 2.476788101255867e-15L),
        asteroid(451, "PATIENTIA", 2.295559390637462e-15L),
        asteroid(87, "SYLVIA", 2.199295173574073e-15L),
        asteroid(7, "IRIS", 2.136434442571407e-15L),
        asteroid(423, "DIOTIMA", 2.112438360599952e-15L),
        asteroid(29, "AMPHITRIT", 1.97584236512452e-15L),
        asteroid(24, "THEMIS", 1.893901667525382e-15L),
        asteroid(13, "EGERIA", 1.797004894507446e-15L),
        asteroid(790, "PRETORIA", 1.7558991833247e-15L),
        asteroid(372, "PALMA", 1.7459557262705e-15L),
        asteroid(107, "CAMILLA", 1.671720991700644e-15L),
        asteroid(354, "ELEONORA", 1.585098657159689e-15L),
        asteroid(96, "AEGLE", 1.546567695624325e-15L),
        asteroid(386, "SIEGENA", 1.507933371196519e-15L),
        asteroid(39, "LAETITIA", 1.497519682556701e-15L),
        asteroid(324, "BAMBERGA", 1.388626589856199e-15L),
        asteroid(11, "PARTHENOP", 1.331536255459975e-15L),
        asteroid(94, "AURORA", 1.27923e-15L),
        asteroid(22, "KALLIOPE", 1.20262444348346e-15L),
        asteroid(120, "LACHESIS", 1.188984949952008e-15L),
        asteroid(185, "EUNIKE", 1.135585894483922e-15L),
        asteroid(14, "IRENE", 1.100645679575068e-15L),
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
