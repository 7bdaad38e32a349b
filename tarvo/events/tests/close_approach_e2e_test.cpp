// The close-approach search run as a user runs it, by key script (data set
// 2, key Y, the spatial kind), against the minimum distance that JPL's DE405
// gives when its Chebyshev series are read directly.
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace {

class CloseApproachRun : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }

    std::string userFile(const char* name) const {
        return tarvo::testing::readFile(root / "USERDATA" / name);
    }
};

// The first record of `file` that names `body`: JD2000 and the distance (Gm).
bool recordOf(const std::string& file, const std::string& body, double& jd2000, double& gm) {
    std::istringstream in(file);
    std::string line;
    const std::regex date(R"(\d{4}/\d\d/\d\d\s+\d\d:\d\d:\d\d\s+(\S+)\s+(\S+))");
    while (std::getline(in, line)) {
        std::smatch m;
        if (line.find(body) == std::string::npos || !std::regex_search(line, m, date)) continue;
        jd2000 = std::stod(m[1]);
        gm = std::stod(m[2]);
        return true;
    }
    return false;
}

// The minimum of the Earth-Mars distance near jd, by golden section on DE405.
double de405Minimum(jpl::Ephemeris& e, double jd, double& km) {
    auto distance = [&](long double t) {
        jpl::StateVector s;
        std::string message;
        EXPECT_TRUE(
            e.state(jpl::Body::Mars, jpl::Body::Earth, t, s, message, jpl::LengthUnit::Kilometre))
            << message;
        return std::sqrt(static_cast<double>(s.position[0] * s.position[0] +
                                             s.position[1] * s.position[1] +
                                             s.position[2] * s.position[2]));
    };
    long double a = jd - 3.0L, b = jd + 3.0L;
    const long double g = (std::sqrt(5.0L) - 1.0L) / 2.0L;
    while (b - a > 1e-7L) {
        const long double c = b - g * (b - a), d = a + g * (b - a);
        if (distance(c) < distance(d))
            b = d;
        else
            a = c;
    }
    km = distance((a + b) / 2);
    return static_cast<double>((a + b) / 2);
}

TEST_F(CloseApproachRun, EarthMarsMinimumOf2003AugustMatchesDe405) {
    std::string message;
    auto ephemeris = tarvo::testing::openDe405(message);
    if (!ephemeris) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2003,07,01\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "expect S = Spatial\n"
                 "key S\n"
                 "expect of Selected body\n"
                 "text MARS\n"
                 "expect Dmax (/1000 Km)\n"
                 "text 100000\n"
                 "text 2003,10,01\n"
                 "expect Conditions of minimum spatial distance\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string mindist = userFile("MINDIST.DAT");
    double jd2000 = 0, gm = 0;
    // Mars against every body: its minimum from the Earth.
    ASSERT_TRUE(recordOf(mindist, "MARS      EARTH", jd2000, gm)) << mindist;
    double km = 0;
    const double jd = de405Minimum(*ephemeris, jd2000 + 2451545.0, km);
    std::printf("Earth-Mars minimum: tarvo JD %.6f %.3f km, DE405 JD %.6f %.3f km\n",
                jd2000 + 2451545.0, gm * 1e6, jd, km);
    EXPECT_NEAR((jd2000 + 2451545.0 - jd) * 1440.0, 0.0, 2.0) << "minutes";
    EXPECT_NEAR(gm * 1e6 - km, 0.0, 20.0) << "km";
    // Records end with CR LF; the file names both bodies, and so does the list.
    EXPECT_NE(mindist.find("\r\n"), std::string::npos);
    EXPECT_NE(mindist.find("EARTH"), std::string::npos);
    const std::string list = userFile("CLOSAPP.LST");
    EXPECT_NE(list.find("EARTH"), std::string::npos) << list;
    EXPECT_NE(list.find("MARS"), std::string::npos) << list;
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "WARNING.DAT"));
}

// The geocentric angle between the Sun and Venus from DE405 at jd (degrees),
// geometric directions, as the angular kind takes them.
double sunVenusAngle(jpl::Ephemeris& e, long double jd) {
    jpl::StateVector sun, venus;
    std::string message;
    EXPECT_TRUE(
        e.state(jpl::Body::Sun, jpl::Body::Earth, jd, sun, message, jpl::LengthUnit::Kilometre))
        << message;
    EXPECT_TRUE(
        e.state(jpl::Body::Venus, jpl::Body::Earth, jd, venus, message, jpl::LengthUnit::Kilometre))
        << message;
    double a[3], b[3];
    for (int k = 0; k < 3; ++k)
        a[k] = static_cast<double>(sun.position[k]), b[k] = static_cast<double>(venus.position[k]);
    return eraSepp(a, b) * 180.0 / 3.14159265358979323846;
}

// The transit of Venus of 2012 June 5-6 as the minimum of that angle.
TEST_F(CloseApproachRun, VenusTransitOf2012IsTheMinimumGeocentricAngleOfDe405) {
    std::string message;
    auto ephemeris = tarvo::testing::openDe405(message);
    if (!ephemeris) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2012,05,20\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "key A\n"
                 "expect of Selected body\n"
                 "text VENUS\n"
                 "expect Max Angle\n"
                 "text 1\n"
                 "text 2012,06,20\n"
                 "expect Conditions of minimum geocentric angular distance\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string mindist = userFile("MINDIST.DAT");
    double jd2000 = 0, degrees = 0;
    ASSERT_TRUE(recordOf(mindist, "VENUS     SUN", jd2000, degrees)) << mindist;
    long double a = 2456083.5L, b = 2456085.5L;
    const long double g = (std::sqrt(5.0L) - 1.0L) / 2.0L;
    while (b - a > 1e-8L) {
        const long double c = b - g * (b - a), d = a + g * (b - a);
        if (sunVenusAngle(*ephemeris, c) < sunVenusAngle(*ephemeris, d))
            b = d;
        else
            a = c;
    }
    const double jd = static_cast<double>((a + b) / 2);
    const double oracle = sunVenusAngle(*ephemeris, (a + b) / 2);
    std::printf("Sun-Venus minimum: tarvo JD %.7f %.6f deg, DE405 JD %.7f %.6f deg\n",
                jd2000 + 2451545.0, degrees, jd, oracle);
    EXPECT_NEAR((jd2000 + 2451545.0 - jd) * 86400.0, 0.0, 2.0) << "seconds";
    EXPECT_NEAR((degrees - oracle) * 3600.0, 0.0, 0.05) << "arcseconds";
}

// Answers that name nothing: an unknown body is refused and asked again, a
// range beyond the table too, and a Dmax that is no number cancels.
TEST_F(CloseApproachRun, GarbageAnswersAreRefusedAndCancelNothingElse) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2003,07,01\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "key S\n"
                 "text NOSUCHBODY\n"
                 "expect No such body: NOSUCHBODY\n"
                 "key Space\n"
                 "text 3-99999\n"
                 "expect No such body: 3-99999\n"
                 "key Space\n"
                 "text MARS\n"
                 "expect Dmax (/1000 Km)\n"
                 "text ##garbage\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "MINDIST.DAT"));
}

TEST_F(CloseApproachRun, ZeroDmaxCancelsAndWritesNothing) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2003,07,01\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "key S\n"
                 "text MARS\n"
                 "expect Dmax (/1000 Km)\n"
                 "text 0\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "MINDIST.DAT"));
}

} // namespace
