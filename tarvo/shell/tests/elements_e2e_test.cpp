// The elements page's key menu, the fixed-point centre and the horizontal
// listing files, each in a whole run driven by a key script (data set 2).
#include "program_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

class ElementsEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // record files end lines with CR LF
        lines.push_back(line);
    }
    return lines;
}

struct Orbit {
    double e = 0, i = 0, w = 0, node = 0, a = 0; // degrees, AU
};

// Heliocentric position on an orbit at true anomaly nu (radians), AU.
std::array<double, 3> pointOn(const Orbit& o, double nu) {
    constexpr double d = std::numbers::pi / 180.0;
    const double r = o.a * (1 - o.e * o.e) / (1 + o.e * std::cos(nu));
    const double u = nu + o.w * d, cn = std::cos(o.node * d), sn = std::sin(o.node * d);
    const double ci = std::cos(o.i * d), si = std::sin(o.i * d);
    return {r * (cn * std::cos(u) - sn * std::sin(u) * ci),
            r * (sn * std::cos(u) + cn * std::sin(u) * ci), r * std::sin(u) * si};
}

// MOID by brute force: a 0.25° grid on both orbits, then the best cell
// refined on a grid fifty times finer.
double bruteForceMoid(const Orbit& a, const Orbit& b) {
    constexpr double kStep = std::numbers::pi / 720.0;
    auto distance = [&](double u, double v) {
        const auto p = pointOn(a, u), q = pointOn(b, v);
        return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    };
    double best = 1e9, bu = 0, bv = 0;
    for (int j = 0; j < 1440; ++j)
        for (int k = 0; k < 1440; ++k)
            if (const double dd = distance(j * kStep, k * kStep); dd < best)
                best = dd, bu = j * kStep, bv = k * kStep;
    for (int j = -100; j <= 100; ++j)
        for (int k = -100; k <= 100; ++k)
            best = std::min(best, distance(bu + j * kStep / 50, bv + k * kStep / 50));
    return best;
}

// The page's keys: & to the MOID display, M to OSCEL.DAT, Q to the equator,
// D to the equinox of date, E to the barycentre, the help of a key (by "?"
// and by a right click on the menu), Space for the next step with
// the elements kept, any other key back to the ephemeris page.  The MOIDs
// written agree with a brute-force search on the elements written beside them.
TEST_F(ElementsEndToEnd, KeyMenuDumpAndMoidAgainstBruteForce) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,08.75\n"
                 "expect Space: next step\n"
                 "key X\n"
                 "expect Ecliptic  Osculating Elements (J2000.0)\n"
                 "key &\n"
                 "expect JD-Tp\n"
                 "key &\n"
                 "expect EARTH Moid\n"
                 "key M\n"
                 "key Q\n"
                 "expect  Equator.  Osculating Elements (J2000.0)\n"
                 "key D\n"
                 "expect  Equator.  Osculating Elements   (Date) \n"
                 "key E\n"
                 "expect EMbaryc\n"
                 "key ?\n"
                 "key D\n"
                 "expect Equinox: the elements are referred\n"
                 "key Enter\n"
                 "rclick 3 23\n"
                 "expect Element display: steps through four displays\n"
                 "key Enter\n"
                 "key Space\n"
                 "expect  Equator.  Osculating Elements   (Date)  at JD 2460412.250801\n"
                 "key Z\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string oscelText = readFile(root / "USERDATA" / "OSCEL.DAT");
    const auto oscel = linesOf(oscelText);
    ASSERT_EQ(oscel.size(), 13u); // every body after the Sun
    // Lines end with CR LF, as the suite's text files do.
    std::size_t crlf = 0;
    for (std::size_t at = oscelText.find("\r\n"); at != std::string::npos;
         at = oscelText.find("\r\n", at + 2))
        ++crlf;
    EXPECT_EQ(crlf, 13u);
    EXPECT_EQ(std::count(oscelText.begin(), oscelText.end(), '\n'), 13);
    std::map<std::string, Orbit> orbits;
    std::map<std::string, double> moids;
    for (const std::string& line : oscel) {
        ASSERT_GE(line.size(), 20u) << line;
        std::string name = line.substr(9, 9);
        name.erase(name.find_last_not_of(' ') + 1);
        std::istringstream fields(line.substr(18));
        Orbit o;
        double moid = 0;
        ASSERT_TRUE(fields >> o.e >> o.i >> o.w >> o.node >> o.a) << line;
        if (name != "MOON") {
            ASSERT_TRUE(fields >> moid) << line;
        }
        orbits[name] = o;
        moids[name] = moid;
    }
    EXPECT_NEAR(moids["EARTH"], 0.0, 1e-8); // the reference's own row
    for (const char* name : {"VENUS", "MARS", "CERES"}) {
        const double oracle = bruteForceMoid(orbits[name], orbits["EARTH"]);
        EXPECT_NEAR(moids[name], oracle, 3e-6) << name;
    }
}

// A fixed point 1000 AU toward the north pole of the J2000 equator: every
// body lies near declination -90° and 1000 AU away, the Moon stays geocentric.
TEST_F(ElementsEndToEnd, FixedPointCentre) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,08.75\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key C\n"
                 "text -1\n"
                 "text 0\n"
                 "text 0\n"
                 "text 1000\n"
                 "key M\n" // decimal units

                 "key Space\n"
                 "expect Fixed    Centric\n"
                 "expect - Moon is Geocentric -\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string text = transcript();
    const std::size_t page = text.rfind("Fixed    Centric");
    ASSERT_NE(page, std::string::npos);
    const std::size_t sun = text.find("\nSUN ", page);
    ASSERT_NE(sun, std::string::npos);
    std::istringstream fields(text.substr(sun + 10, 60));
    double ra, dec, distance;
    ASSERT_TRUE(fields >> ra >> dec >> distance) << text.substr(sun, 80);
    EXPECT_LT(dec, -89.8);
    EXPECT_NEAR(distance, 1000.0, 0.02); // the Sun drifts from the frame's origin by < 0.01 AU
    const std::size_t moon = text.find("\nMOON ", page);
    ASSERT_NE(moon, std::string::npos);
    std::istringstream moonFields(text.substr(moon + 10, 60));
    ASSERT_TRUE(moonFields >> ra >> dec >> distance);
    EXPECT_NEAR(distance, 0.0025, 0.0002);
}

// File output in horizontal coordinates: each body's file is a listing in
// its own layout, one record a step at the local time of the site.
TEST_F(ElementsEndToEnd, HorizontalListingFiles) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,08.75\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Z\n"
                 "key F\n"
                 "key Y\n"
                 "text 2\n"
                 "key J\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const auto mars = linesOf(readFile(root / "USERDATA" / "MARS.OUT"));
    ASSERT_EQ(mars.size(), 3u);
    EXPECT_EQ(mars[0],
              "LT                Azim     Alt.    Phas   Magn   Elong  LunEl  Rise   Trans   Set");
    double previous = 0;
    for (std::size_t k = 1; k < mars.size(); ++k) {
        std::istringstream fields(mars[k]);
        double jd, azimuth, altitude, phase, magnitude, elongation, lunar;
        ASSERT_TRUE(fields >> jd >> azimuth >> altitude >> phase >> magnitude >> elongation >>
                    lunar)
            << mars[k];
        EXPECT_EQ(mars[k].find('.'), 8u) << mars[k]; // "########.######  "
        EXPECT_GE(azimuth, 0.0);
        EXPECT_LT(azimuth, 360.0);
        EXPECT_LE(std::fabs(altitude), 90.0);
        EXPECT_GT(phase, 0.8); // Mars is never far from full
        EXPECT_NEAR(magnitude, 1.2, 0.5);
        if (k > 1) {
            EXPECT_NEAR(jd - previous, 3.0, 1e-6);
        }
        previous = jd;
    }
}

} // namespace
