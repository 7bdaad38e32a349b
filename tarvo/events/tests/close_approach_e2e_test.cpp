// The close-approach search run as a user runs it, by key script (data set
// 2, key Y, the spatial kind), against the minimum distance that JPL's DE405
// gives when its Chebyshev series are read directly.
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
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

// The state (Gm, km/s) on the two lines after the record named `name`.
bool stateOf(const std::string& file, const std::string& name, double p[3], double v[3]) {
    const std::size_t at = file.find(name);
    if (at == std::string::npos) return false;
    std::istringstream in(file.substr(file.find('\n', at) + 1));
    return static_cast<bool>(in >> p[0] >> p[1] >> p[2] >> v[0] >> v[1] >> v[2]);
}

// Seconds from the distance r to the distance R (km, R < r) of a body
// falling on the incoming branch of a two-body hyperbola of the Earth.
double hyperbolicFallSeconds(const double r0[3], const double v0[3], double R) {
    const double mu = 398600.4418; // km^3/s^2
    const double r = std::hypot(r0[0], r0[1], r0[2]);
    const double energy = (v0[0] * v0[0] + v0[1] * v0[1] + v0[2] * v0[2]) / 2 - mu / r;
    const double a = mu / (2 * energy);
    const double h[3] = {r0[1] * v0[2] - r0[2] * v0[1], r0[2] * v0[0] - r0[0] * v0[2],
                         r0[0] * v0[1] - r0[1] * v0[0]};
    const double e =
        std::sqrt(1 + 2 * energy * (h[0] * h[0] + h[1] * h[1] + h[2] * h[2]) / (mu * mu));
    auto fromPerigee = [&](double d) {
        const double F = std::acosh((d / a + 1) / e);
        return (e * std::sinh(F) - F) / std::sqrt(mu / (a * a * a));
    };
    return fromPerigee(r) - fromPerigee(R);
}

// A body started from a state file 1e6 km from the Earth, falling at 20
// km/s with a perigee of 3,000 km, under adaptive control (the contact
// lies many substeps before the nearest point): one impact record, at the
// time of the two-body hyperbola, with its ground point; then the run goes
// on and the body leaves again.
TEST_F(CloseApproachRun, ABodyOnACollisionCourseGivesOneImpactAndTheRunGoesOn) {
    // The Earth of data set 2 at the start epoch, from the final files.
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2003,07,01\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string start = userFile("FINAL.TVF");
    const double epoch = std::stod(start);
    double earth[3], earthV[3];
    ASSERT_TRUE(stateOf(start, "EARTH", earth, earthV)) << start;
    const double u[3] = {0.6, 0.0, 0.8}, side[3] = {0.0, 1.0, 0.0};
    double rel[3], relV[3]; // km, km/s
    for (int k = 0; k < 3; ++k) rel[k] = 1e6 * u[k], relV[k] = -20.0 * u[k] + 0.0774 * side[k];
    char text[512];
    std::snprintf(text, sizeof text,
                  " %.9f\r\n0 0.000001 20 0  IMPACTOR\r\n %.17g %.17g %.17g\r\n %.17g %.17g "
                  "%.17g\r\n 0 0 0 0\r\n",
                  epoch, earth[0] + rel[0] * 1e-6, earth[1] + rel[1] * 1e-6,
                  earth[2] + rel[2] * 1e-6, earthV[0] + relV[0], earthV[1] + relV[1],
                  earthV[2] + relV[2]);
    std::ofstream(root / "USERDATA" / "IMPACTOR.TVX", std::ios::binary) << text;

    r = run("key Enter\n"
            "key 2\n"
            "text 2003,07,01\n"
            "expect Space: next step\n"
            "key Esc\n"
            "key Esc\n"
            "key M\n"
            "text IMPACTOR.TVX\n"
            "expect IMPACTOR\n"
            "key Esc\n"
            "key V\n"
            "key Y\n"
            "expect S = Spatial\n"
            "key S\n"
            "expect of Selected body\n"
            "text IMPACTOR\n"
            "expect Dmax (/1000 Km)\n"
            "text 10000\n"
            "text 2003,07,04\n"
            "expect Conditions of minimum spatial distance\n"
            "key Esc\n"
            "key Esc\n"
            "key Space\n"
            "expect 2003/07/07\n"
            "key Space\n"
            "expect 2003/07/10\n"
            "key Esc\n"
            "key Esc\n"
            "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();

    const std::string impacts = userFile("IMPACT.DAT");
    std::istringstream lines(impacts);
    std::string header, line, more;
    std::getline(lines, header);
    ASSERT_TRUE(std::getline(lines, line)) << impacts;
    EXPECT_FALSE(std::getline(lines, more) && more.size() > 1) << impacts;
    int first = 0, second = 0, year = 0, month = 0, day = 0, hh = 0, mm = 0, ss = 0;
    double di = 0, vi = 0, lon = 0, lat = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), " %dC %dC %d/%d/%d %d:%d:%d %lf %lf %lf %lf", &first,
                          &second, &year, &month, &day, &hh, &mm, &ss, &di, &vi, &lon, &lat),
              12)
        << line; // the Earth first, with its ground point
    EXPECT_EQ(first, 3);
    // The contact radius: the Earth's figure (6356.8 to 6378.1 km) plus 1 km.
    EXPECT_GT(di * 1e6, 6357.0);
    EXPECT_LT(di * 1e6, 6379.2);
    const double fall = hyperbolicFallSeconds(rel, relV, di * 1e6);
    const double seconds =
        ((day - 1) * 24.0 + hh) * 3600.0 + mm * 60.0 + ss; // from 2003/07/01 0h TT
    const double expected = (epoch - 2452821.5) * 86400.0 + fall;
    std::printf("impact %s: %.1f s after 0h TT, two-body hyperbola %.1f s\n", line.c_str(), seconds,
                expected);
    EXPECT_NEAR(seconds, expected, 30.0); // the Sun and the Moon move it by seconds
    // Ground-relative: the inertial speed less at most the ground's 0.47 km/s.
    const double inertial = std::sqrt(20.0 * 20.0 + 0.0774 * 0.0774 - 2 * 398600.4418 / 1e6 +
                                      2 * 398600.4418 / (di * 1e6));
    EXPECT_NEAR(vi, inertial, 0.5);

    // The body went on through the point mass and left at about its speed
    // at infinity.
    double body[3], bodyV[3], end[3], endV[3];
    ASSERT_TRUE(stateOf(userFile("FINAL.TVX"), "IMPACTOR", body, bodyV));
    ASSERT_TRUE(stateOf(userFile("FINAL.TVF"), "EARTH", end, endV));
    const double leaving = std::hypot(bodyV[0] - endV[0], bodyV[1] - endV[1], bodyV[2] - endV[2]);
    EXPECT_NEAR(leaving, std::sqrt(400.0 - 2 * 398600.4418 / 1e6), 1.0);
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
