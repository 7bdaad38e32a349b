// The asteroids of the data sets against the published GMs they come from,
// the constants MAnnnn of the JPL DE431 header (Folkner et al. 2014, IPN
// Progress Report 42-196), read with the suite's JPL reader: every mass
// agrees, the perturbers are the heaviest of the 343 after the major block,
// and the element export holds starting elements for each of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "datasets/asteroid_ephemeris.h"
#include "datasets/body_catalogue.h"
#include "datasets/planetary_source.h"
#include "jpl/ephemeris.h"

namespace datasets {
namespace {

const std::filesystem::path kDe431 = std::filesystem::path(TARVO_SHARED_DATA_DIR) / "jpl" / "lnxp0000.431";

#define SKIP_WITHOUT_DE431()                                                                            \
    do {                                                                                                \
        if (!std::filesystem::exists(kDe431))                                                           \
            GTEST_SKIP() << kDe431.string() << " is absent; the shared reference data is not installed"; \
    } while (0)

std::string massConstantOf(int asteroidNumber)
{
    char name[16];
    std::snprintf(name, sizeof name, "MA%04d", asteroidNumber);
    return name;
}

// Asteroid numbers of the header's MAnnnn constants, heaviest first.
std::vector<int> asteroidsByMass(const jpl::EphemerisHeader& header)
{
    std::vector<std::pair<double, int>> byMass;
    for (const jpl::NamedConstant& c : header.constants)
        if (c.name.size() == 6 && c.name.compare(0, 2, "MA") == 0 &&
            std::all_of(c.name.begin() + 2, c.name.end(), [](unsigned char d) { return std::isdigit(d); }))
            byMass.emplace_back(c.value, std::stoi(c.name.substr(2)));
    std::sort(byMass.begin(), byMass.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<int> numbers;
    for (const auto& [gm, number] : byMass) numbers.push_back(number);
    return numbers;
}

std::vector<int> asteroidNumbers(const std::vector<BodyEntry>& bodies)
{
    std::vector<int> numbers;
    for (const BodyEntry& b : bodies)
        if (b.kind == BodyKind::asteroid) numbers.push_back(b.asteroidNumber);
    return numbers;
}

TEST(AsteroidCatalogue, MassesAreTheDe431Gms)
{
    SKIP_WITHOUT_DE431();
    std::string message;
    auto de431 = PlanetarySource::open(kDe431, message);
    ASSERT_TRUE(de431) << message;
    ASSERT_EQ(de431->name(), "DE431");
    const auto& catalogue = asteroidCatalogue();
    ASSERT_EQ(catalogue.size(), 35u);
    for (const BodyEntry& a : catalogue) {
        const std::string constant = massConstantOf(a.asteroidNumber);
        const double fromHeader = de431->headerMass(constant);
        ASSERT_GT(fromHeader, 0) << a.name << ": the DE431 header has no " << constant;
        EXPECT_NEAR(a.publishedMass, fromHeader, 1e-14 * fromHeader) << a.name << " against " << constant;
        if (*a.jplMassConstant != '\0') {
            EXPECT_EQ(a.jplMassConstant, constant) << a.name;
        }
    }
}

TEST(AsteroidCatalogue, MassesAreInTheSuitesUnit)
{
    // Oracle independent of the header path: Ceres from Dawn's gravity field,
    // GM = 62.6284 km^3/s^2 (Park et al. 2016, Nature 537, 515), divided by
    // the suite's G (6.672e-11 m^3 kg^-1 s^-2) in 10^24 kg. DE431's value,
    // fitted before Dawn, is 0.3 per cent larger.
    const double dawnMass = 62.6284e9 / 6.672e-11 / 1e24;
    const BodyEntry& ceres = asteroidCatalogue().front();
    ASSERT_EQ(ceres.asteroidNumber, 1);
    EXPECT_NEAR(ceres.publishedMass, dawnMass, 0.005 * dawnMass);
}

TEST(AsteroidCatalogue, PerturbersAreTheHeaviestAfterTheMajorBlock)
{
    SKIP_WITHOUT_DE431();
    std::string message;
    auto de431 = jpl::Ephemeris::open(kDe431, message);
    ASSERT_TRUE(de431) << message;
    std::vector<int> heaviest = asteroidsByMass(de431->header());
    ASSERT_EQ(heaviest.size(), 343u) << "the DE431 header carries the GMs of 343 asteroids";
    // Ceres, Vesta and Pallas lead; the major block keeps them in number order.
    ASSERT_EQ(std::vector<int>(heaviest.begin(), heaviest.begin() + 3), (std::vector<int>{1, 4, 2}));
    heaviest.erase(heaviest.begin(), heaviest.begin() + 3);

    const std::vector<int> catalogue = asteroidNumbers(asteroidCatalogue());
    EXPECT_EQ(std::vector<int>(catalogue.begin(), catalogue.begin() + 3), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(std::vector<int>(catalogue.begin() + 3, catalogue.end()),
              std::vector<int>(heaviest.begin(), heaviest.begin() + 32));

    // Data set 1 carries the 32 perturbers and data set 6 the 13 heaviest,
    // after the major block.
    std::vector<int> set1 = asteroidNumbers(dataSetBlocks(1)), set6 = asteroidNumbers(dataSetBlocks(6));
    ASSERT_EQ(set1.size(), 35u);
    ASSERT_EQ(set6.size(), 16u);
    EXPECT_EQ(std::vector<int>(set1.begin() + 3, set1.end()), std::vector<int>(heaviest.begin(), heaviest.begin() + 32));
    EXPECT_EQ(std::vector<int>(set6.begin() + 3, set6.end()), std::vector<int>(heaviest.begin(), heaviest.begin() + 13));
}

TEST(AsteroidCatalogue, TheElementExportStartsEveryAsteroid)
{
    if (!std::filesystem::exists(defaultAsteroidElementsPath))
        GTEST_SKIP() << defaultAsteroidElementsPath << " is absent; kstars-data is not installed";
    std::map<int, AsteroidElements> elements;
    std::string message;
    ASSERT_TRUE(readAsteroidElements(defaultAsteroidElementsPath, asteroidNumbers(asteroidCatalogue()), elements,
                                     message))
        << message;
    // One epoch for all: the integration starts them together.
    for (const BodyEntry& a : asteroidCatalogue()) {
        const AsteroidElements& el = elements.at(a.asteroidNumber);
        EXPECT_EQ(el.epoch, elements.at(1).epoch) << a.name;
        EXPECT_GT(el.diameterKm, 0) << a.name << ": no diameter for its radius";
    }
}

}  // namespace
}  // namespace datasets
