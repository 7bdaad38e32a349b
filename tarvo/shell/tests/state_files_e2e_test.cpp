// Runs started from state and element files of the working directory, driven
// by key scripts: the data set a minor-body file runs on, element files
// (.TVE, .ELE) with the step they ask for, geocentric satellites, the
// single impulse and the delayed model as the final files record them, and
// FITRA.CFG's law of the non-gravitational forces.
#include "final_planets_oracle.h"
#include "program_runner.h"

#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;
using tarvo::testing::kBuiltTree;
using tarvo::testing::readFile;

namespace {

class StateFilesEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(root / "USERDATA" / name, std::ios::binary) << text;
    }
    bool shows(const std::string& text) const {
        return transcript().find(text) != std::string::npos;
    }
    // The minor bodies of FINAL.TVX.
    tarvo::StateFileContents finalMinorBodies() {
        tarvo::StateFileContents contents;
        std::string message;
        EXPECT_TRUE(tarvo::readStateFile(root / "USERDATA" / "FINAL.TVX",
                                         tarvo::StateFileKind::MinorBody, 100000, contents,
                                         message))
            << message;
        return contents;
    }
};

// A body on a circle of 2.77 AU in the J2000 equator (Gm, km/s).
std::string asteroidRecord(const std::string& nameField, double angle, const std::string& number) {
    const double r = 2.77 * 149.5978707, v = 29.7847 / std::sqrt(2.77);
    char text[256];
    std::snprintf(text, sizeof text, "0 0.0005 8 0 %s\n %.17g %.17g 0\n %.17g %.17g 0\n 0 0 0 %s\n",
                  nameField.c_str(), r * std::cos(angle), r * std::sin(angle), -v * std::sin(angle),
                  v * std::cos(angle), number.c_str());
    return text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

double speedDifference(const tarvo::StateRecord& a, const tarvo::StateRecord& b) {
    double d = 0;
    for (int k = 0; k < 3; ++k)
        d += static_cast<double>((a.velocity[k] - b.velocity[k]) * (a.velocity[k] - b.velocity[k]));
    return std::sqrt(d);
}

double distance(const tarvo::StateRecord& a, const tarvo::StateRecord& b) {
    double d = 0;
    for (int k = 0; k < 3; ++k)
        d += static_cast<double>((a.position[k] - b.position[k]) * (a.position[k] - b.position[k]));
    return std::sqrt(d);
}

// Before any data set is chosen a minor-body file runs on data set 3 (no
// asteroids); once one was run, on that one.
TEST_F(StateFilesEndToEnd, MinorBodyFileRunsOnDataSetThreeBeforeAnyOther) {
    if (!fs::exists(kBuiltTree / "BIN" / "PL431SN.BIN"))
        GTEST_SKIP() << "no data set 3 in the tree";
    write("ONE.TVX", "2451545.0\n" + asteroidRecord("VESTOID", 0.3, "0"));
    auto r = run("key Enter\n"
                 "key M\n"
                 "expect Files .TVX and .TVE in the working directory:\n"
                 "expect ONE.TVX\n"
                 "text ONE\n"
                 "expect DE431S\n"
                 "expect VESTOID\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect DE431M\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key M\n"
                 "text ONE.TVX\n"
                 "expect DE431M\n"
                 "expect VESTOID\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

// A .TVE chosen from the menu becomes the bodies of the run: its comet
// with q = 0.2 AU brings the nominal step down to 2 days, and the elements
// written at the end are the file's (nothing was integrated in between).
TEST_F(StateFilesEndToEnd, ElementFileStartsARunWithTwoDayStepsNearTheSun) {
    write("GRAZER.TVE", "-2451560.5\n"
                        "0 -0.001 12 0 GRAZER\n"
                        " 0.9 30 40\n"
                        " 50 2 20 0 0\n"
                        " 0 0 0 0\n");
    auto r = run("key Enter\n"
                 "key M\n"
                 "expect GRAZER.TVE\n"
                 "text GRAZER.TVE\n"
                 "expect GRAZER\n"
                 "expect 2.000  JD:\n" // the step, signed by the direction
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    tarvo::ElementFileContents elements;
    std::string message;
    ASSERT_TRUE(tarvo::readElementFile(root / "USERDATA" / "FINAL.TVE",
                                       tarvo::StateFileKind::MinorBody, 10, elements, message))
        << message;
    ASSERT_EQ(elements.records.size(), 1u);
    const tarvo::OrbitElements& e = elements.records[0].elements;
    EXPECT_EQ(elements.julianDate, 2451560.5L);
    EXPECT_NEAR(static_cast<double>(e.eccentricity), 0.9, 1e-12);
    EXPECT_NEAR(static_cast<double>(e.semiMajorAxis), 2.0, 1e-11);
    EXPECT_NEAR(static_cast<double>(e.inclination), 30.0, 1e-10);
    EXPECT_NEAR(static_cast<double>(e.argumentOfPerihelion), 40.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.ascendingNode), 50.0, 1e-10);
    EXPECT_NEAR(static_cast<double>(e.meanAnomaly), 20.0, 1e-9);
}

// FINAL.ELE of one run (the full table as elements) starts another from
// the menu, which then goes on where the planets are in JPL's ephemeris.
TEST_F(StateFilesEndToEnd, FullElementFileResumesTheRunAgainstJpl) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect JD:  2451558.5000000\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key F\n"
                 "expect Files .TVF and .ELE in the working directory:\n"
                 "text FINAL.ELE\n"
                 "expect JD:  2451558.5000000\n"
                 "expect JUPITER\n"
                 "key Space\n"
                 "key Space\n"
                 "key Space\n"
                 "expect JD:  2451567.4999999\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    // 21 days from a library record: kilometres at most.
    std::string skipped;
    if (!tarvo::testing::expectPlanetsOnTheEphemeris(root / "USERDATA" / "FINAL.TVF", 50.0,
                                                     skipped))
        GTEST_SKIP() << skipped;
}

// A satellite file (JD + 90000000) runs on data set 10 in a table of 500
// bodies, and every satellite feels the Sun with the Earth's radial factor,
// so two satellites that differ only in the factor their file gives move
// together.
TEST_F(StateFilesEndToEnd, SatellitesRunOnDataSetTenInATableOfFiveHundred) {
    if (!fs::exists(kBuiltTree / "BIN" / "PLXSH.BIN")) GTEST_SKIP() << "no data set 10 in the tree";
    std::string text = "92451545.0\n";
    const double r = 1.5, v = std::sqrt(398600.4418e9 / 1.5e9) / 1000; // Gm, km/s
    for (int i = 0; i < 600; ++i) {
        const double angle = i < 2 ? 0.4 : 0.01 * i;
        char record[256];
        std::snprintf(record, sizeof record,
                      "0 0.00001 10 %s SAT%d\n %.17g %.17g 0\n %.17g %.17g 0\n 0 0 0 0\n",
                      i == 1 ? "1E-09" : "0", i, r * std::cos(angle), r * std::sin(angle),
                      -v * std::sin(angle), v * std::cos(angle));
        text += record;
    }
    write("SATS.TVX", text);
    auto run1 = run("key Enter\n"
                    "key M\n"
                    "text SATS\n"
                    "expect PLXSH\n"
                    "key Space\n"
                    "key Space\n"
                    "key Esc\n"
                    "key Esc\n"
                    "key Esc\n");
    ASSERT_EQ(run1.status, 0) << run1.output << transcript();
    const tarvo::StateFileContents final = finalMinorBodies();
    EXPECT_TRUE(final.satelliteFile);
    // Bodies up to index 498 (500 - 2) after the six of data set 10.
    EXPECT_EQ(final.records.size(), 492u);
    ASSERT_GE(final.records.size(), 2u);
    EXPECT_EQ(final.records[0].position, final.records[1].position);
    EXPECT_EQ(final.records[0].velocity, final.records[1].velocity);
    // They did move: six days on an orbit of 200 days.
    EXPECT_GT(std::fabs(static_cast<double>(final.records[0].position[1] - r * std::sin(0.4))),
              0.01);
}

// A satellite inside the Earth's shadow is shown with magnitude 99.9; its
// twin on the day side is bright.
TEST_F(StateFilesEndToEnd, SatelliteInTheEarthsShadowHasMagnitude99_9) {
    if (!fs::exists(kBuiltTree / "BIN" / "PLXSH.BIN")) GTEST_SKIP() << "no data set 10 in the tree";
    // The anti-Sun direction at J2000.0 (RA 101.3 deg, Dec +23.0 deg), 20000 km out.
    const double x = -0.1803, y = 0.9027, z = 0.3907, d = 0.02;
    char text[512];
    std::snprintf(text, sizeof text,
                  "92451545.0\n"
                  "0 0.00001 5 0 SHADOWED\n %g %g %g\n 0 0 0\n 0 0 0 0\n"
                  "0 0.00001 5 0 SUNLIT\n %g %g %g\n 0 0 0\n 0 0 0 0\n",
                  d * x, d * y, d * z, -d * x, -d * y, -d * z);
    write("SHADOW.TVX", text);
    // Horizontal coordinates from the start (the eleventh toggle of TARVO.CFG).
    const int toggles[17] = {-1, -1, 0, -1, -1, 0, 0, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0};
    std::ofstream cfg(root / "CFG" / "TARVO.CFG", std::ios::binary);
    cfg << "Value     Toggle\r\n";
    for (int value : toggles) cfg << " " << value << "            toggle\r\n";
    cfg.close();
    auto r = run("key Enter\n"
                 "key M\n"
                 "text SHADOW\n"
                 "expect Magn\n"
                 "expect SHADOWED\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string t = transcript();
    const std::size_t page = t.rfind("Magn");
    ASSERT_NE(page, std::string::npos);
    const std::size_t shadowed = t.find("\nSHADOWED", page), sunlit = t.find("\nSUNLIT", page);
    ASSERT_NE(shadowed, std::string::npos);
    ASSERT_NE(sunlit, std::string::npos);
    const std::string shadowRow = t.substr(shadowed + 1, t.find('\n', shadowed + 1) - shadowed - 1);
    const std::string sunlitRow = t.substr(sunlit + 1, t.find('\n', sunlit + 1) - sunlit - 1);
    EXPECT_NE(shadowRow.find(" 99.9"), std::string::npos) << shadowRow;
    EXPECT_EQ(sunlitRow.find(" 99.9"), std::string::npos) << sunlitRow;
}

// With extra option "^" the impulse of a body's file changes its velocity
// once, by the delta-V given; the final files write the impulse, the colour
// codes of the file and, under option "<", the delay tau. Without the
// option the impulse is not applied.
TEST_F(StateFilesEndToEnd, ImpulseDelayAndColoursReachTheFinalFiles) {
    // MJD 51560 is JD2000 day 15.5, inside the third step from J2000.
    write("KICK.TVX", "2451545.0\n" +
                          asteroidRecord("KICKED      303099", 0.3, "-51560 0.001 0 0") +
                          asteroidRecord("CONTROL", 0.3, "0"));
    const std::string steps = "key Space\nkey Space\nkey Space\nkey Space\nkey Space\nkey Space\n"
                              "key Space\nkey Esc\nkey Esc\nkey Esc\n";
    auto withImpulse = run("key Enter\nkey X\nkey ^\nexpect ^. Single Impulse flag:  On\nkey Esc\n"
                           "key M\ntext KICK\nexpect KICKED\n" +
                           steps);
    ASSERT_EQ(withImpulse.status, 0) << withImpulse.output << transcript();
    const std::string tvx = readFile(root / "USERDATA" / "FINAL.TVX");
    auto final = finalMinorBodies();
    ASSERT_EQ(final.records.size(), 2u);
    // Six days after the impulse the velocity change is still the delta-V given.
    EXPECT_NEAR(speedDifference(final.records[0], final.records[1]), 0.001, 2e-5);
    const auto lines = linesOf(tvx);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_NE(lines[1].find("KICKED   303099"), std::string::npos) << lines[1];
    EXPECT_NE(lines[5].find("CONTROL  "), std::string::npos) << lines[5];
    // Once the file had a colour code, every body is written with one.
    const std::string code = lines[5].substr(lines[5].size() - 6);
    EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
        << lines[5];
    EXPECT_NE(lines[4].find(" -51560.0000 .001 0 0"), std::string::npos) << lines[4];
    // FINAL.TVX read back carries the impulse.
    EXPECT_NE(final.records[0].numberString.find("-51560"), std::string::npos);

    auto without = run("key Enter\nkey M\ntext KICK\nexpect KICKED\n" + steps);
    ASSERT_EQ(without.status, 0) << without.output << transcript();
    final = finalMinorBodies();
    ASSERT_EQ(final.records.size(), 2u);
    EXPECT_EQ(final.records[0].position, final.records[1].position);
    EXPECT_EQ(final.records[0].velocity, final.records[1].velocity);

    write("DELAY.TVX", "2451545.0\n" + asteroidRecord("DELAYED", 0.3, "-1 45.5"));
    auto delayed = run("key Enter\nkey X\nkey <\nexpect <. Asymm. model for Ai:  On\nkey Esc\n"
                       "key M\ntext DELAY\nexpect DELAYED\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(delayed.status, 0) << delayed.output << transcript();
    const auto delayLines = linesOf(readFile(root / "USERDATA" / "FINAL.TVX"));
    ASSERT_GE(delayLines.size(), 5u);
    EXPECT_NE(delayLines[4].find("  -1    45.500"), std::string::npos) << delayLines[4];
}

// FITRA.CFG's law g(r) = rho^-m (1 + b rho^n)^-k with r0 = 1 AU, m = 2,
// k = 0 is the inverse square of the distance in AU: a comet under it
// moves as under the inverse-square ("Yarkov.") law of extra option Y, and
// away from where the default law takes it.
TEST_F(StateFilesEndToEnd, FitraConfigurationGivesTheLawOfTheCometForces) {
    // A comet at 1 AU with a transverse force of 1e-6 Gm/day^2.
    write("COMET.TVX", "2451545.0\n0 -0.001 12 0 PUSHED\n 149.5978707 0 0\n 0 29.7847 0\n"
                       " 0 1E-06 0 0\n");
    const std::string script = "key M\ntext COMET\nexpect PUSHED\n"
                               "key Space\nkey Space\nkey Space\nkey Space\nkey Space\n"
                               "key Esc\nkey Esc\nkey Esc\n";
    auto defaultLaw = run("key Enter\n" + script);
    ASSERT_EQ(defaultLaw.status, 0) << defaultLaw.output << transcript();
    const tarvo::StateRecord underDefault = finalMinorBodies().records.at(0);

    auto yarkovsky =
        run("key Enter\nkey X\nkey Y\nexpect Y. NonGrav.Perturb: Yarkov.\nkey Esc\n" + script);
    ASSERT_EQ(yarkovsky.status, 0) << yarkovsky.output << transcript();
    const tarvo::StateRecord inverseSquare = finalMinorBodies().records.at(0);

    std::ofstream fitra(root / "CFG" / "FITRA.CFG", std::ios::binary);
    for (int line = 1; line <= 27; ++line) fitra << " 0            Line " << line << "\r\n";
    fitra << " 1            r_o\r\n 2            m\r\n 1            b\r\n"
             " 5.093        n\r\n 0            k\r\n";
    for (int line = 33; line <= 35; ++line) fitra << " 0            Line " << line << "\r\n";
    fitra << " .111262      A\r\n";
    fitra.close();
    auto configured = run("key Enter\n" + script);
    ASSERT_EQ(configured.status, 0) << configured.output << transcript();
    const tarvo::StateRecord underFitra = finalMinorBodies().records.at(0);

    // 15 days: at 1 AU the default law (rho^-2.15 (1 + rho^5.093)^-4.6142,
    // r0 = 2.808 AU) is 9 times the inverse square, some 1000 km in
    // position; the two forms of the inverse square agree to rounding.
    EXPECT_LT(distance(underFitra, inverseSquare), 1e-9);
    EXPECT_GT(distance(underFitra, underDefault), 1e-4);
}

// Key # saves the law of the non-gravitational forces as extra option Y
// stands, not as it stood at start-up.
TEST_F(StateFilesEndToEnd, SavedPreferencesKeepTheYarkovskyChoiceOfNow) {
    auto r = run("key Enter\n"
                 "key X\nkey Y\nkey Esc\n"
                 "key 2\ntext 2000,01,15\n"
                 "key Esc\n"
                 "key #\n"
                 "expect Preferences saved in TARVO.CFG\n"
                 "key Enter\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const auto lines = linesOf(readFile(root / "CFG" / "TARVO.CFG"));
    ASSERT_GE(lines.size(), 17u);
    EXPECT_EQ(lines[16].rfind(" -1 ", 0), 0u) << lines[16];
    EXPECT_NE(lines[16].find("Yarkovsky n.G."), std::string::npos) << lines[16];
}

} // namespace
