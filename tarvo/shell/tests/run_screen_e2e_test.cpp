// What the run screen and the pages show, driven by key scripts: distances
// in Gm, the note after a jump, the adaptive step and its halvings, the
// barycentric elements, and the file dialog's major and minor bodies.
// Oracles: JPL DE405 through the suite's reader, and the layout rules.
#include "final_planets_oracle.h"
#include "program_runner.h"

#include <jpl/ephemeris.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;
using tarvo::testing::kBuiltTree;
using tarvo::testing::kDe405;
using tarvo::testing::readFile;

namespace {

constexpr double kObliquityJ2000 = 84381.448 / 3600.0 * 3.14159265358979323846 / 180.0;

class RunScreenEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    bool shows(const std::string& text) const {
        return transcript().find(text) != std::string::npos;
    }
    // The last screen of the transcript that shows `text`.
    std::string lastScreenWith(const std::string& text) const {
        const std::string t = transcript();
        const std::size_t at = t.rfind(text);
        if (at == std::string::npos) return "";
        const std::size_t begin = t.rfind("=== screen", at);
        const std::size_t end = t.find("=== screen", at);
        return t.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    }
};

// The line of `screen` that starts with `name`.
std::string rowOf(const std::string& screen, const std::string& name) {
    std::istringstream in(screen);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name, 0) == 0) return line;
    return "";
}

// Key K: the true distance in Gm (mask "#####.#####"); the Sun's agrees
// with the Earth-Sun distance of DE405 at the page's instant.
TEST_F(RunScreenEndToEnd, DistancesInGigametres) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect True D (AU)\n"
                 "key Esc\n"
                 "key D\n"
                 "key Esc\n" // Delta-T off: the page's time is TT
                 "key M\n"   // decimal units
                 "key K\n"
                 "expect K   Dist. Unit     Gm\n"
                 "key Space\n"
                 "expect True D (Gm)\n"
                 "key Esc\n"
                 "key O\n"
                 "key Space\n"
                 "expect X (Gm)\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string page = lastScreenWith("True D (Gm)");
    const std::string sun = rowOf(page.substr(page.find("True D (Gm)")), "SUN");
    ASSERT_FALSE(sun.empty()) << page;
    std::istringstream fields(sun.substr(10));
    double ra = 0, dec = 0, distanceGm = 0;
    ASSERT_TRUE(fields >> ra >> dec >> distanceGm) << sun;
    std::string message;
    auto de405 = jpl::Ephemeris::open(kDe405, message);
    if (!de405) GTEST_SKIP() << "DE405 not installed: " << message;
    jpl::StateVector earth;
    const std::size_t jd = page.find("JD:");
    ASSERT_NE(jd, std::string::npos);
    const double julianDate = std::stod(page.substr(jd + 3, 20));
    ASSERT_TRUE(de405->state(jpl::Body::Earth, jpl::Body::Sun, julianDate, earth, message,
                             jpl::LengthUnit::Kilometre))
        << message;
    const double oracle = static_cast<double>(std::sqrt(earth.position[0] * earth.position[0] +
                                                        earth.position[1] * earth.position[1] +
                                                        earth.position[2] * earth.position[2]) /
                                              1e6L);
    EXPECT_NEAR(distanceGm, oracle, 2e-5) << sun; // the mask's 10 km, and the run's km
    EXPECT_TRUE(shows("X (Gm)"));
}

// After a jump the page says how far it went and how long it took.
TEST_F(RunScreenEndToEnd, JumpSaysHowFarItWent) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect jumped in\n"
                 "key Space\n"
                 "key Esc\n"
                 "key J\n"
                 "text 2010,01,15\n"
                 "expect 10.0 y jumped in\n"
                 "key Space\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    // The step after the jump's page has no note.
    EXPECT_EQ(lastScreenWith("2010/01/18").find("jumped in"), std::string::npos);
}

// A close pass by the Earth under adaptive control: the run screen says
// "Adaptive Stepsize On" and shows one "*" per halving of the step.
TEST_F(RunScreenEndToEnd, AdaptiveStepAndItsHalvings) {
    std::string message;
    auto de405 = jpl::Ephemeris::open(kDe405, message);
    if (!de405) GTEST_SKIP() << "DE405 not installed: " << message;
    jpl::StateVector earth;
    ASSERT_TRUE(de405->state(jpl::Body::Earth, jpl::Body::Sun, 2451545.0, earth, message,
                             jpl::LengthUnit::Kilometre))
        << message;
    // 0.5 Gm behind the Earth along x, coming at 5 km/s, 10000 km to the side.
    char text[512];
    std::snprintf(text, sizeof text,
                  "2451545.0\n0 0.0005 20 0 PASSER\n %.17g %.17g %.17g\n %.17g %.17g %.17g\n"
                  " 0 0 0 0\n",
                  static_cast<double>(earth.position[0] / 1e6L - 0.5L),
                  static_cast<double>(earth.position[1] / 1e6L + 0.01L),
                  static_cast<double>(earth.position[2] / 1e6L),
                  static_cast<double>(earth.velocity[0] / 86400 + 5),
                  static_cast<double>(earth.velocity[1] / 86400),
                  static_cast<double>(earth.velocity[2] / 86400));
    std::ofstream(root / "USERDATA" / "PASS.TVX") << text;
    auto r = run("key Enter\n"
                 "key M\n"
                 "text PASS\n"
                 "expect PASSER\n"
                 "key Esc\n"
                 "key V\n"
                 "expect V   Adap.Stepsize  On\n"
                 "key Space\n"
                 "expect Adaptive Stepsize On\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string page = lastScreenWith("Adaptive Stepsize On");
    const std::size_t at = page.rfind("Adaptive Stepsize On");
    const std::string after = page.substr(at + 21, page.find('\n', at) - at - 21);
    EXPECT_EQ(after.rfind("*", 0), 0u) << "no halvings shown: [" << after << "]";
}

// The collision trap forces the adaptive step: key V's status says so.
TEST_F(RunScreenEndToEnd, CollisionTrapShowsTheAdaptiveStepOn) {
    auto r = run("key Enter\n"
                 "key X\nkey I\nkey Enter\nkey Esc\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "expect V   Adap.Stepsize  On\n"
                 "key Esc\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

// Centre "Baryc" (N + 1): barycentric elements. Display 3 writes Jupiter's
// state about the barycentre to OSCEL.DAT: the oracle is DE405's Jupiter
// about the Solar-System barycentre, turned to the J2000 ecliptic.
TEST_F(RunScreenEndToEnd, BarycentricElementsOfJupiterAgainstJpl) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key C\n"
                 "expect 14 = Baryc\n"
                 "text 14\n"
                 "key Space\n"
                 "expect Baryc    Centric\n"
                 "key X\n"
                 "expect Ecliptic  Barycentric Elements (J2000.0)\n"
                 "key &\nkey &\nkey &\n"
                 "key M\n"
                 "key Z\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string title = lastScreenWith("Barycentric Elements");
    const std::size_t at = title.find(" at JD ");
    ASSERT_NE(at, std::string::npos);
    const double julianDate = std::stod(title.substr(at + 7, 20)); // TT
    std::string jupiter;
    std::istringstream oscel(readFile(root / "USERDATA" / "OSCEL.DAT"));
    for (std::string line; std::getline(oscel, line);)
        if (line.find("JUPITER") != std::string::npos) jupiter = line;
    ASSERT_FALSE(jupiter.empty());
    std::istringstream fields(jupiter.substr(jupiter.find("JUPITER") + 9));
    double x, y, z;
    ASSERT_TRUE(fields >> x >> y >> z) << jupiter;
    std::string message;
    auto de405 = jpl::Ephemeris::open(kDe405, message);
    if (!de405) GTEST_SKIP() << "DE405 not installed: " << message;
    jpl::StateVector s;
    ASSERT_TRUE(de405->state(jpl::Body::Jupiter, jpl::Body::SolarSystemBarycentre, julianDate, s,
                             message, jpl::LengthUnit::Kilometre))
        << message;
    const double c = std::cos(kObliquityJ2000), e = std::sin(kObliquityJ2000);
    const double px = static_cast<double>(s.position[0]), py = static_cast<double>(s.position[1]),
                 pz = static_cast<double>(s.position[2]);
    const double ox = px / 1e6, oy = (c * py + e * pz) / 1e6, oz = (c * pz - e * py) / 1e6;
    // The Sun stands some 1 Gm from the barycentre: heliocentric would miss by that.
    EXPECT_NEAR(x, ox, 1e-3) << jupiter;
    EXPECT_NEAR(y, oy, 1e-3) << jupiter;
    EXPECT_NEAR(z, oz, 1e-3) << jupiter;
}

// "S" of the file dialog writes the minor bodies: in data set 6 those are
// the 13 perturbing asteroids after the last major body, not none.
TEST_F(RunScreenEndToEnd, FileDialogSplitsMajorAndMinorAtTheLastMajorBody) {
    if (!fs::exists(kBuiltTree / "BIN" / "PL431MBN.BIN"))
        GTEST_SKIP() << "no data set 6 in the tree";
    auto r = run("key Enter\n"
                 "key 6\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key F\n"
                 "key S\n"
                 "text 1\n"
                 "key J\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    int files = 0;
    for (const auto& f : fs::directory_iterator(root / "USERDATA"))
        if (f.path().extension() == ".OUT") ++files;
    EXPECT_EQ(files, 13);
    EXPECT_FALSE(fs::exists(root / "USERDATA" / "CERES.OUT")); // body 11, a major body
    EXPECT_FALSE(fs::exists(root / "USERDATA" / "MOON.OUT"));
}

} // namespace
