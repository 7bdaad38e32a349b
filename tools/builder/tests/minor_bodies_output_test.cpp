// The asteroid and comet libraries as tarvo-build-data writes them from the
// kstars-data exports, checked against the exports read here on their own.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>

#include "scratch_directory.h"
#include "tarvo/libraries/minor_body_library.h"
#include "tarvo/libraries/orbital_elements.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBuilder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";
const fs::path kAsteroids = "/usr/share/kstars/asteroids.dat";
const fs::path kComets = "/usr/share/kstars/comets.dat";

// Row of the export by its full name's first words ("1 Ceres", "1P/Halley").
std::map<std::string, double> exportRow(const fs::path& file, const std::string& start) {
    std::ifstream in(file);
    const nlohmann::json j = nlohmann::json::parse(in);
    for (const auto& row : j["data"]) {
        std::string name = row[0].get<std::string>();
        name.erase(0, name.find_first_not_of(' '));
        if (name.rfind(start + " ", 0) != 0 && name != start) continue;
        std::map<std::string, double> out;
        for (std::size_t k = 1; k < row.size(); ++k) {
            const auto& v = row[k];
            if (v.is_number())
                out[j["fields"][k]] = v.get<double>();
            else if (v.is_string())
                out[j["fields"][k]] = std::atof(v.get<std::string>().c_str());
        }
        return out;
    }
    return {};
}

class MinorBodyLibraries : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        if (!fs::exists(kAsteroids) || !fs::exists(kComets))
            GTEST_SKIP()
                << "SKIPPED LOUDLY: kstars-data is not installed (scripts/setup installs it); "
                   "the libraries built from it are not checked";
        for (const char* only : {"ASTEREL2", "MIBODIF2", "COMETS"}) {
            const std::string command = kBuilder.string() + " --tree " + dir.string() + " --only " +
                                        only + " > " + (dir / "log").string();
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
};

TEST_F(MinorBodyLibraries, AsteroidsSitAtTheirNumbersWithTheExportsElements) {
    tarvo::AsteroidLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "BIN", message)) << message;
    EXPECT_DOUBLE_EQ(lib.epochJd(), 59800 + 2400000.5);
    EXPECT_EQ(lib.differenceQuarter(), 0);
    EXPECT_GE(lib.recordCount(), 617103);

    const tarvo::ElementConversion
        conversion; // Gaussian k, the library's elements are heliocentric
    for (const auto& [number, name] : std::vector<std::pair<int, std::string>>{{1, "Ceres"},
                                                                               {2, "Pallas"},
                                                                               {4, "Vesta"},
                                                                               {433, "Eros"},
                                                                               {1036, "Ganymed"},
                                                                               {136199, "Eris"}}) {
        SCOPED_TRACE(name);
        const auto row = exportRow(kAsteroids, std::to_string(number) + " " + name);
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(lib.findByName(name), number);
        tarvo::AsteroidElementsDecoded el;
        ASSERT_TRUE(lib.elements(number, tarvo::ElementSource::AstDys, el));
        EXPECT_NEAR(el.eccentricity, row.at("e"), 2.6e-10);
        EXPECT_NEAR(el.semiMajorAxis, row.at("a"), 2.6e-10);
        EXPECT_NEAR(el.inclination, row.at("i"), 5.1e-8);
        EXPECT_NEAR(el.node, row.at("om"), 5.1e-8);
        EXPECT_NEAR(el.perihelion, row.at("w"), 5.1e-8);
        EXPECT_NEAR(el.meanAnomaly, row.at("ma"), 5.1e-8);

        // The library's state gives its elements back.
        tarvo::OrbitElements oe;
        oe.eccentricity = el.eccentricity;
        oe.inclination = el.inclination;
        oe.argumentOfPerihelion = el.perihelion;
        oe.ascendingNode = el.node;
        oe.semiMajorAxis = el.semiMajorAxis;
        oe.meanAnomaly = el.meanAnomaly;
        tarvo::CartesianState s;
        ASSERT_TRUE(tarvo::elementsToState(conversion, 0, lib.epochJd(), oe, s).ok);
        const tarvo::OsculatingElements back = tarvo::stateToElements(
            conversion.gravityConstant, 0, conversion.astronomicalUnit, tarvo::ElementPlane{}, s);
        EXPECT_NEAR(static_cast<double>(back.eccentricity), el.eccentricity, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.semiMajorAxis), el.semiMajorAxis,
                    1e-9 * el.semiMajorAxis);
        EXPECT_NEAR(static_cast<double>(back.inclination), el.inclination, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.ascendingNode), el.node, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.argumentOfPerihelion), el.perihelion, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.meanAnomaly), el.meanAnomaly, 1e-9);
    }
    tarvo::AsteroidElementsDecoded ceres;
    ASSERT_TRUE(lib.elements(1, tarvo::ElementSource::Average, ceres));
    EXPECT_DOUBLE_EQ(ceres.massE24kg, 0.00094139);
    EXPECT_DOUBLE_EQ(ceres.absoluteMagnitude, 3.3);

    // A number the export lacks, and a designation-only asteroid past the numbered ones.
    tarvo::AsteroidRecord r;
    EXPECT_FALSE(lib.find(617102, r));
    EXPECT_FALSE(lib.find(lib.recordCount() + 1, r));
    const int provisional = lib.findByName("1994 ES2");
    EXPECT_GT(provisional, 617103);
}

TEST_F(MinorBodyLibraries, CometStatesGiveBackTheExportsPerihelia) {
    tarvo::CometLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "BIN", message)) << message;
    EXPECT_EQ(lib.count(), 3768);
    for (const std::string name : {"1P/Halley", "2P/Encke"}) {
        SCOPED_TRACE(name);
        const int k = lib.findByName(name);
        ASSERT_GE(k, 0);
        const tarvo::CometRecord& c = lib.record(k);
        const auto row = exportRow(kComets, name);
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(c.epochJ - 0.5, row.at("epoch.mjd") + 2400000.5);
        EXPECT_DOUBLE_EQ(c.absoluteMagnitude, row.at("M1"));
        tarvo::CartesianState s;
        for (int i = 0; i < 3; ++i) s.position[i] = c.position[i], s.velocity[i] = c.velocity[i];
        const tarvo::OsculatingElements el = tarvo::stateToElements(
            tarvo::gaussianGravitationalConstant, 0, 149.5978707L, tarvo::ElementPlane{}, s);
        EXPECT_NEAR(static_cast<double>(el.perihelionDistance), row.at("q"), 1e-9);
        EXPECT_NEAR(static_cast<double>(el.eccentricity), row.at("e"), 1e-9);
        EXPECT_NEAR(static_cast<double>(el.inclination), row.at("i"), 1e-8);
        EXPECT_NEAR(static_cast<double>(el.ascendingNode), row.at("om"), 1e-8);
        EXPECT_NEAR(static_cast<double>(el.argumentOfPerihelion), row.at("w"), 1e-8);
        // Time since perihelion from M / n against the export's perihelion time.
        const double sincePerihelion = static_cast<double>(el.meanAnomaly / el.meanMotion);
        const double period = 360.0 / static_cast<double>(el.meanMotion);
        double expected = std::fmod(c.epochJ - 0.5 - row.at("tp"), period);
        if (expected < 0) expected += period;
        EXPECT_NEAR(sincePerihelion, expected, 1e-5);
    }
}

} // namespace
