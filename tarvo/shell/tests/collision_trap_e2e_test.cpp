// The collision trap of a run, driven by key scripts: option I with a
// cutoff of 4.5 AU on data set 2 ejects the planets beyond it, the farthest
// first, one check at a time (the start state, then each step); each event
// goes to EJECTED.LOG, the checkpoint after a step with an event is kept as EJECnnnn.TVF, and
// ENERMOM.LOG gets its header and a line per checkpoint.
#include "program_runner.h"

#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

class CollisionTrapEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    fs::path work() const { return root / "USERDATA"; }
    std::vector<std::string> lines(const std::string& name) {
        std::vector<std::string> out;
        std::istringstream in(readFile(work() / name));
        for (std::string l; std::getline(in, l);) {
            EXPECT_TRUE(!l.empty() && l.back() == '\r') << name << ": " << l;
            if (!l.empty() && l.back() == '\r') l.pop_back();
            out.push_back(l);
        }
        return out;
    }
    tarvo::StateFileContents load(const std::string& name) {
        tarvo::StateFileContents contents;
        std::string message;
        EXPECT_TRUE(tarvo::readStateFile(work() / name, tarvo::StateFileKind::Full, 1000, contents,
                                         message))
            << message;
        return contents;
    }
    static bool holds(const tarvo::StateFileContents& c, const std::string& name) {
        for (const auto& r : c.records)
            if (r.nameField.find(name) != std::string::npos) return true;
        return false;
    }
};

TEST_F(CollisionTrapEndToEnd, PlanetsBeyondTheCutoffAreEjectedAndLogged) {
    auto r = run("key Enter\n"
                 "key x\n"
                 "key i\n"
                 "expect Set distance for the cutoff\n"
                 "text 4.5\n"
                 "expect I. Trap Collisions:  On\n"
                 "key Esc\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Space\nkey Space\nkey Space\nkey Space\nkey Space\nkey Space\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n",
                 "", {}, "-u TARVO12DIR TARVO_CHECKPOINT_SECONDS=0");
    ASSERT_EQ(r.status, 0) << r.output << transcript();

    // Pluto, Neptune, Uranus, Saturn, Jupiter: beyond 4.5 AU in 2000.
    const std::vector<std::string> ejected = lines("EJECTED.LOG");
    ASSERT_EQ(ejected.size(), 6u) << readFile(work() / "EJECTED.LOG");
    EXPECT_EQ(ejected[0], "     TJ2000          #");
    const char* order[] = {"PLUTO", "NEPTUNE", "URANUS", "SATURN", "JUPITER"};
    double previousEpoch = -1e9;
    for (int k = 0; k < 5; ++k) {
        const std::string& l = ejected[static_cast<std::size_t>(k) + 1];
        EXPECT_NE(l.find(order[k]), std::string::npos) << l;
        const double epoch = std::stod(l.substr(0, 16));
        EXPECT_GE(epoch, 13.5) << l; // 2000/01/15 TT and later, days from J2000
        EXPECT_GT(epoch, previousEpoch) << l;
        previousEpoch = epoch;
    }
    EXPECT_EQ(lines("COLLIS.LOG"), std::vector<std::string>{"     TJ2000          #1      #2   "});

    // The checkpoint after a step with an event is kept: the ejection of
    // the start state and that of the first step share the first copy.
    for (int k = 1; k <= 4; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "EJEC%04d.TVF", k);
        ASSERT_TRUE(fs::exists(work() / name)) << name;
        const tarvo::StateFileContents c = load(name);
        EXPECT_FALSE(holds(c, order[k])) << name;
        EXPECT_FALSE(holds(c, "PLUTO")) << name;
        EXPECT_TRUE(holds(c, "EARTH")) << name;
        if (k < 4) {
            EXPECT_TRUE(holds(c, order[k + 1])) << name;
        }
    }
    EXPECT_FALSE(fs::exists(work() / "EJEC0005.TVF"));
    const tarvo::StateFileContents final = load("FINAL.TVF");
    EXPECT_FALSE(holds(final, "JUPITER"));
    EXPECT_TRUE(holds(final, "MARS"));
    EXPECT_TRUE(holds(final, "MOON"));

    // ENERMOM.LOG: the header, then a line per checkpoint (one per step
    // here); the system stays on its barycentre, and with the massive
    // planets gone the energy of what is left stays put.
    const std::vector<std::string> log = lines("ENERMOM.LOG");
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(log[0], "      T (Jy)     Barycenter        Tot.Energy           Tot.Ang.Mom.     "
                      "         Mx                My                Mz");
    std::vector<double> energy;
    for (std::size_t k = 1; k < log.size(); ++k) {
        std::istringstream in(log[k]);
        double years = 0, distance = 0, e = 0, l = 0;
        in >> years >> distance >> e >> l;
        ASSERT_FALSE(in.fail()) << log[k];
        EXPECT_NEAR(years, 0.06, 0.03) << log[k]; // 2000/01/15 and six steps
        EXPECT_LT(distance, 1e-9) << log[k];
        EXPECT_LT(e, 0) << log[k];
        EXPECT_GT(l, 0) << log[k];
        energy.push_back(e);
    }
    // After the last ejection the energy changes by the integration only.
    const double last = energy.back(), before = energy[energy.size() - 2];
    EXPECT_LT(std::fabs((last - before) / last), 1e-9);
}

// Two bodies of a full N-body file on a collision course merge in the
// first step: one line in COLLIS.LOG, and the final file holds one body
// with the summed mass, the radius grown as 4^0.333 and the pair's momentum.
TEST_F(CollisionTrapEndToEnd, AHeadOnMergerOfAFullFile) {
    // Sun, A (1e24 kg) and B (3e24 kg) 1 AU out, 0.1 Gm apart, closing at
    // 20 km/s; radii 10,000 km. J2000 equator, heliocentric, km/s.
    std::ofstream(work() / "COLL.TVF", std::ios::binary) << " 2451545.0\r\n"
                                                            " 1 1989095.3240106 .6957 0 0 SUN\r\n"
                                                            "0  0  0\r\n0  0  0\r\n"
                                                            "1 .01 0 0#  A\r\n"
                                                            " 149.6 0 -.05\r\n 0 29.8 10\r\n"
                                                            "3 .01 0 0#  B\r\n"
                                                            " 149.6 0 .05\r\n 0 29.8 -10\r\n";
    auto r = run("key Enter\n"
                 "key x\n"
                 "key i\n"
                 "text\n"
                 "expect I. Trap Collisions:  On\n"
                 "key Esc\n"
                 "key F\n"
                 "expect Files .TVF and .ELE in the working directory:\n"
                 "text COLL.TVF\n"
                 "key Space\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::vector<std::string> collisions = lines("COLLIS.LOG");
    ASSERT_EQ(collisions.size(), 2u) << readFile(work() / "COLLIS.LOG");
    EXPECT_NE(collisions[1].find("     1      2    A         B"), std::string::npos)
        << collisions[1];
    EXPECT_EQ(lines("EJECTED.LOG").size(), 1u);
    const tarvo::StateFileContents final = load("FINAL.TVF");
    ASSERT_EQ(final.records.size(), 2u);
    EXPECT_EQ(final.records[1].massField, 4.0);
    EXPECT_NEAR(final.records[1].radius, 0.01 * std::pow(4.0, 0.333), 1e-12);
    // The pair's momentum: vz (1 * 10 - 3 * 10) / 4 = -5 km/s, changed by
    // the Sun over a few days by far less than 0.01 km/s.
    EXPECT_NEAR(static_cast<double>(final.records[1].velocity[2]), -5.0, 0.01);
    EXPECT_FALSE(fs::exists(work() / "EJEC0002.TVF"));
    EXPECT_TRUE(fs::exists(work() / "EJEC0001.TVF"));
}

} // namespace
