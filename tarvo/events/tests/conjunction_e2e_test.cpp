// The conjunction family run as a user runs it, by key script (data set 2,
// key Y, A, a suffix after the Max Angle), against DE405 read directly: the
// directions are the rigorous apparent ones (light time, aberration) in the
// mean ecliptic of date (ERFA's IAU 2006 matrix).
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <regex>
#include <sstream>
#include <vector>

namespace {

using tarvo::testing::openDe405;
using tarvo::testing::rigorousApparentDirection;

class ConjunctionRun : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    std::string userFile(const char* name) const {
        return tarvo::testing::readFile(root / "USERDATA" / name);
    }
    // A search of the angular kind for `body` with `angle` (and its suffix),
    // ecliptic coordinates, from `from` to `to`.
    std::string mindist(const char* body, const char* angle, const char* from, const char* to) {
        std::filesystem::remove(root / "USERDATA" / "MINDIST.DAT"); // no overwrite warning
        auto r = run(std::string("key Enter\nkey 2\ntext ") + from +
                     "\nexpect Space: next step\nkey E\nkey Y\nkey A\nexpect of Selected body\n"
                     "text " +
                     body + "\nexpect Max Angle\ntext " + angle + "\ntext " + to +
                     "\n"
                     // A key other than Esc is no interruption: the viewer takes it.
                     "key Space\nkey Esc\nkey Esc\nkey Esc\nkey Esc\nkey Esc\n");
        EXPECT_EQ(r.status, 0) << r.output << transcript();
        return userFile("MINDIST.DAT");
    }
};

struct Event {
    double jd = 0;         // Julian date, TT
    double separation = 0; // degrees
};

// The records of `file` that end with the two names.
std::vector<Event> eventsOf(const std::string& file, const std::string& names) {
    std::vector<Event> out;
    std::istringstream in(file);
    std::string line;
    const std::regex date(R"(\d{4}/\d\d/\d\d\s+\d\d:\d\d:\d\d\s+(\S+)\s+(\S+))");
    while (std::getline(in, line)) {
        std::smatch m;
        if (line.find(names) == std::string::npos || !std::regex_search(line, m, date)) continue;
        out.push_back({std::stod(m[1]) + 2451545.0, std::stod(m[2])});
    }
    return out;
}

// Apparent geocentric direction in the mean ecliptic of date.
std::array<double, 3> ecliptic(jpl::Ephemeris& e, jpl::Body body, long double jd) {
    const auto u = rigorousApparentDirection(e, body, jd);
    EXPECT_TRUE(u.has_value());
    double rm[3][3], p[3] = {(*u)[0], (*u)[1], (*u)[2]}, q[3];
    eraEcm06(2451545.0, static_cast<double>(jd - 2451545.0L), rm);
    eraRxp(rm, p, q);
    return {q[0], q[1], q[2]};
}

// The instant near jd (within a day) at which a and b have the same
// ecliptic longitude, by bisection on the sine of their difference.
long double equalLongitudes(jpl::Ephemeris& e, jpl::Body a, jpl::Body b, long double jd) {
    auto f = [&](long double t) {
        const auto u = ecliptic(e, a, t), w = ecliptic(e, b, t);
        return u[1] * w[0] - u[0] * w[1];
    };
    long double lo = jd - 1, hi = jd + 1;
    const double flo = f(lo);
    EXPECT_LT(flo * f(hi), 0.0);
    while (hi - lo > 1e-10L) {
        const long double m = (lo + hi) / 2;
        (f(m) * flo > 0 ? lo : hi) = m;
    }
    return (lo + hi) / 2;
}

double separation(jpl::Ephemeris& e, jpl::Body a, jpl::Body b, long double jd) {
    auto u = rigorousApparentDirection(e, a, jd), w = rigorousApparentDirection(e, b, jd);
    return eraSepp(u->data(), w->data()) * 180 / M_PI;
}

// The new moons before the total solar eclipses of 2017 and 2024.
TEST_F(ConjunctionRun, NewMoonsOf2017AugustAnd2024AprilMatchDe405) {
    std::string message;
    auto de405 = openDe405(message);
    if (!de405) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    const struct {
        const char *from, *to;
        double near;
    } cases[] = {{"2017,08,21", "2017,08,25", 2457987.3}, {"2024,04,01", "2024,04,12", 2460409.3}};
    for (const auto& c : cases) {
        const auto events = eventsOf(mindist("MOON", "5/C", c.from, c.to), "MOON      SUN");
        ASSERT_EQ(events.size(), 1u) << userFile("MINDIST.DAT");
        const long double jd = equalLongitudes(*de405, jpl::Body::Moon, jpl::Body::Sun, c.near);
        const double seconds = (events[0].jd - static_cast<double>(jd)) * 86400;
        std::printf("new moon JD %.6f: %+.3f s from DE405\n", events[0].jd, seconds);
        EXPECT_NEAR(seconds, 0.0, 1.0); // the JD2000 column resolves 0.86 s
    }
}

// The great conjunction of Jupiter and Saturn of 2020 December 21.
TEST_F(ConjunctionRun, GreatConjunctionOf2020MatchesDe405) {
    std::string message;
    auto de405 = openDe405(message);
    if (!de405) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    const std::string file = mindist("JUPITER", "1/C", "2020,12,01", "2021,01,01");
    EXPECT_EQ(file.rfind("  Conditions of geocentric Conjunction in Longitude (within  1.000) "
                         "(Corrected for Light-Time) \r\n",
                         0),
              0u)
        << file;
    const auto events = eventsOf(file, "JUPITER   SATURN");
    ASSERT_EQ(events.size(), 1u) << file;
    const long double jd =
        equalLongitudes(*de405, jpl::Body::Jupiter, jpl::Body::Saturn, 2459205.2L);
    const double oracle = separation(*de405, jpl::Body::Jupiter, jpl::Body::Saturn, jd);
    std::printf("great conjunction JD %.6f %.6f deg: %+.2f s, %+.4f\" from DE405\n", events[0].jd,
                events[0].separation, (events[0].jd - static_cast<double>(jd)) * 86400,
                (events[0].separation - oracle) * 3600);
    EXPECT_NEAR((events[0].jd - static_cast<double>(jd)) * 86400, 0.0, 10.0);
    EXPECT_NEAR((events[0].separation - oracle) * 3600, 0.0, 0.1);
    // The list of bodies with close approaches is not this family's.
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "CLOSAPP.LST"));
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "WARNING.DAT"));
}

// Venus's greatest elongations of 2020 (March, east; August, west): the
// maxima of its angle from the Sun.
TEST_F(ConjunctionRun, GreatestElongationsOfVenusIn2020MatchDe405) {
    std::string message;
    auto de405 = openDe405(message);
    if (!de405) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    const std::string file = mindist("VENUS", "/E", "2020,01,01", "2021,01,01");
    EXPECT_EQ(file.rfind("  Conditions of maximum geocentric angular distance", 0), 0u) << file;
    const auto events = eventsOf(file, "VENUS     SUN");
    ASSERT_EQ(events.size(), 2u) << file;
    for (const Event& ev : events) {
        auto f = [&](long double t) {
            return -separation(*de405, jpl::Body::Venus, jpl::Body::Sun, t);
        };
        long double a = ev.jd - 3, b = ev.jd + 3;
        const long double g = (std::sqrt(5.0L) - 1) / 2;
        while (b - a > 1e-7L) {
            const long double c = b - g * (b - a), d = a + g * (b - a);
            if (f(c) < f(d))
                b = d;
            else
                a = c;
        }
        const double oracle = -f((a + b) / 2);
        const double minutes = (ev.jd - static_cast<double>((a + b) / 2)) * 1440;
        std::printf("Venus elongation JD %.5f %.6f deg: %+.2f min, %+.4f\" from DE405\n", ev.jd,
                    ev.separation, minutes, (ev.separation - oracle) * 3600);
        EXPECT_NEAR(minutes, 0.0, 2.0);
        // The column's last digit is 1e-5 degree (0.036"): half of it.
        EXPECT_NEAR((ev.separation - oracle) * 3600, 0.0, 0.02);
    }
}

// /O with every body selected is refused: nothing is written.
TEST_F(ConjunctionRun, OppositionsOfEveryBodyAreRefused) {
    auto r = run("key Enter\nkey 2\ntext 2020,01,01\nexpect Space: next step\nkey Y\nkey A\n"
                 "expect of Selected body\ntext -1\nexpect Max Angle\ntext /O\n"
                 "expect need one selected first body\nkey Space\nexpect Space: next step\n"
                 "key Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "MINDIST.DAT"));
}

} // namespace
