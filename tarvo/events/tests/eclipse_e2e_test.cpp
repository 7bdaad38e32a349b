// Solar eclipses found by the Moon-Sun search run as a user runs it (data
// set 2, key Y, kind E, by key script), against an independent shadow-axis
// computation on JPL's DE405 read directly: the instant of greatest
// eclipse, and at three instants of the track the ground point, the width
// of the shadow and the Sun's altitude.
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMoonRadiusKm = 1737.4, kSunRadiusKm = 695700.0, kEarthRadiusKm = 6378.137;
constexpr double kE2 = 0.00669438; // WGS 84

class EclipseRun : public tarvo::testing::TreeFixture {
  public:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    std::string userFile(const std::string& name) const {
        return tarvo::testing::readFile(root / "USERDATA" / name);
    }
    using TreeFixture::run;
    using TreeFixture::transcript;
};

struct Vec3 {
    double x[3];
};

// Position (km) of `body` relative to the barycentre at jd (TDB = TT).
Vec3 bary(jpl::Ephemeris& e, jpl::Body body, long double jd) {
    jpl::StateVector s;
    std::string message;
    EXPECT_TRUE(
        e.state(body, jpl::Body::SolarSystemBarycentre, jd, s, message, jpl::LengthUnit::Kilometre))
        << message;
    return {{static_cast<double>(s.position[0]), static_cast<double>(s.position[1]),
             static_cast<double>(s.position[2])}};
}

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {{a.x[0] - b.x[0], a.x[1] - b.x[1], a.x[2] - b.x[2]}};
}
double norm(const Vec3& a) {
    return std::sqrt(a.x[0] * a.x[0] + a.x[1] * a.x[1] + a.x[2] * a.x[2]);
}

// Geocentric geometric angle (radians) between the Moon and the Sun at jd.
double moonSunAngle(jpl::Ephemeris& e, long double jd) {
    const Vec3 E = bary(e, jpl::Body::Earth, jd);
    Vec3 m = minus(bary(e, jpl::Body::Moon, jd), E), s = minus(bary(e, jpl::Body::Sun, jd), E);
    return eraSepp(m.x, s.x);
}

// The minimum of that angle within a day of jd, by golden section.
long double greatestEclipse(jpl::Ephemeris& e, long double jd) {
    long double a = jd - 0.5L, b = jd + 0.5L;
    const long double g = (std::sqrt(5.0L) - 1.0L) / 2.0L;
    while (b - a > 1e-9L) {
        const long double c = b - g * (b - a), d = a + g * (b - a);
        if (moonSunAngle(e, c) < moonSunAngle(e, d))
            b = d;
        else
            a = c;
    }
    return (a + b) / 2;
}

struct GroundTruth {
    bool exists = false;
    double lon = 0, lat = 0, widthKm = 0, sunAltitude = 0;
};

// The shadow axis at TT jd: light that reaches the Earth at jd passed the
// Moon and left the Sun earlier (light times iterated), positions relative
// to the Earth at jd, turned into the true equator of date (IAU 2006/2000A)
// and met with the WGS 84 spheroid; longitudes from Greenwich apparent
// sidereal time of UT1 = TT - Delta-T.
GroundTruth shadowAxis(jpl::Ephemeris& e, long double jd, double deltaTSeconds,
                       jpl::Body occulted = jpl::Body::Sun,
                       double occultedRadiusKm = kSunRadiusKm) {
    const double c = 299792.458 * 86400.0; // km/day
    const Vec3 E = bary(e, jpl::Body::Earth, jd);
    Vec3 M = minus(bary(e, jpl::Body::Moon, jd), E), S = minus(bary(e, occulted, jd), E);
    for (int pass = 0; pass < 3; ++pass) {
        const double tauM = norm(M) / c, tauS = (norm(M) + norm(minus(S, M))) / c;
        M = minus(bary(e, jpl::Body::Moon, jd - tauM), E);
        S = minus(bary(e, occulted, jd - tauS), E);
    }
    double rnpb[3][3];
    const double jd1 = 2451545.0, jd2 = static_cast<double>(jd - 2451545.0L);
    eraPnm06a(jd1, jd2, rnpb);
    double P[3], T[3];
    eraRxp(rnpb, M.x, P);
    eraRxp(rnpb, S.x, T);
    double s[3] = {T[0] - P[0], T[1] - P[1], T[2] - P[2]};
    const double len = std::sqrt(eraPdp(s, s));
    for (double& v : s) v /= len;
    // x^2 + y^2 + z^2 / (1 - e^2) = R^2 along P + l s.
    const double f = 1.0 / (1.0 - kE2);
    const double A = s[0] * s[0] + s[1] * s[1] + f * s[2] * s[2];
    const double B = P[0] * s[0] + P[1] * s[1] + f * P[2] * s[2];
    const double C = P[0] * P[0] + P[1] * P[1] + f * P[2] * P[2] - kEarthRadiusKm * kEarthRadiusKm;
    const double D = B * B - A * C;
    GroundTruth g;
    if (D < 0) return g;
    g.exists = true;
    const double l = (-B + std::sqrt(D)) / A; // the root nearer the Moon (B > 0 here)
    const double X[3] = {P[0] + l * s[0], P[1] + l * s[1], P[2] + l * s[2]};
    const double ut2 = jd2 - deltaTSeconds / 86400.0;
    const double gast = eraGst06a(jd1, ut2, jd1, jd2);
    g.lon = eraAnpm(std::atan2(X[1], X[0]) - gast) * 180.0 / kPi;
    const double phi = std::atan2(X[2] * f, std::hypot(X[0], X[1]));
    g.lat = phi * 180.0 / kPi;
    // The umbral cone at the point.
    const double dO = std::sqrt((X[0] - P[0]) * (X[0] - P[0]) + (X[1] - P[1]) * (X[1] - P[1]) +
                                (X[2] - P[2]) * (X[2] - P[2]));
    const double dT = std::sqrt((X[0] - T[0]) * (X[0] - T[0]) + (X[1] - T[1]) * (X[1] - T[1]) +
                                (X[2] - T[2]) * (X[2] - T[2]));
    const double r = (kMoonRadiusKm * dT - occultedRadiusKm * dO) / (dT - dO);
    g.widthKm = 2.0 * kEarthRadiusKm * std::asin(r / kEarthRadiusKm);
    // The Sun's altitude above the geodetic horizon.
    double up[3] = {std::cos(phi) * X[0] / std::hypot(X[0], X[1]),
                    std::cos(phi) * X[1] / std::hypot(X[0], X[1]), std::sin(phi)};
    g.sunAltitude = std::asin(eraPdp(up, s)) * 180.0 / kPi;
    return g;
}

struct TrackPoint {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    double lon = 0, lat = 0, azimuth = 0, altitude = 0, width = 0;
};

// The points of a .OCC file, read by the columns the path mapper reads.
std::vector<TrackPoint> trackPoints(const std::string& file, double& deltaT, std::string& title) {
    std::istringstream in(file);
    std::string line;
    std::vector<TrackPoint> points;
    if (!std::getline(in, line)) return points;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    deltaT = std::stod(line.substr(line.size() - 8));
    title = line.substr(84, 60);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        TrackPoint p;
        if (std::sscanf(line.c_str(), "%d/%d/%d %d:%d:%d", &p.year, &p.month, &p.day, &p.hour,
                        &p.minute, &p.second) != 6)
            continue;
        p.lon = std::stod(line.substr(22, 9));
        p.lat = std::stod(line.substr(32, 8));
        p.azimuth = std::stod(line.substr(40, 6));
        p.altitude = std::stod(line.substr(46, 5));
        p.width = std::stod(line.substr(51, 8));
        points.push_back(p);
    }
    return points;
}

// The first record of ECLIPSES.DAT: JD2000 (TT) of the event.
bool eventTime(const std::string& file, double& jd2000) {
    std::smatch m;
    const std::regex record(R"(\d{4}/\d\d/\d\d\s+\d\d:\d\d:\d\d\s+(\S+))");
    if (!std::regex_search(file, m, record)) return false;
    jd2000 = std::stod(m[1]);
    return true;
}

void compareTrack(const std::string& file, jpl::Ephemeris& e, jpl::Body occulted,
                  double occultedRadiusKm, int widthSign);

void checkEclipse(EclipseRun& fixture, jpl::Ephemeris& e, const char* start, const char* end,
                  long double expectedJd, bool annular) {
    auto r = fixture.run(std::string("key Enter\n"
                                     "key 2\n"
                                     "text ") +
                         start +
                         "\n"
                         "expect Space: next step\n"
                         "key Y\n"
                         "key E\n"
                         "expect Max Angle\n"
                         "text 1\n"
                         "expect Geogr. Window\n"
                         "text \n"
                         "text " +
                         end +
                         "\n"
                         "expect Display Paths (Y or N)\n"
                         "key N\n"
                         "expect Conditions of minimum geocentric angular distance\n"
                         "key Esc\n"
                         "key Esc\n"
                         "key Esc\n"
                         "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << fixture.transcript();
    const std::string eclipses = fixture.userFile("ECLIPSES.DAT");
    double jd2000 = 0;
    ASSERT_TRUE(eventTime(eclipses, jd2000)) << eclipses;
    const long double oracle = greatestEclipse(e, expectedJd);
    std::printf("greatest eclipse: tarvo JD %.7f, DE405 JD %.7f (%.3f s)\n", jd2000 + 2451545.0,
                static_cast<double>(oracle),
                static_cast<double>((jd2000 + 2451545.0L - oracle) * 86400.0L));
    EXPECT_NEAR(static_cast<double>((jd2000 + 2451545.0L - oracle) * 86400.0L), 0.0, 1.0)
        << "seconds";

    compareTrack(fixture.userFile("SuMo0001.OCC"), e, jpl::Body::Sun, kSunRadiusKm,
                 annular ? -1 : 1);
}

// The points of a track file at a quarter, half and three quarters of it
// against the shadow axis of DE405; widthSign +1 an umbra, -1 an antumbra.
void compareTrack(const std::string& file, jpl::Ephemeris& e, jpl::Body occulted,
                  double occultedRadiusKm, int widthSign) {
    double deltaT = 0;
    std::string title;
    const auto points = trackPoints(file, deltaT, title);
    ASSERT_GE(points.size(), 20u);
    EXPECT_GT(deltaT, 60.0);
    EXPECT_LT(deltaT, 75.0);
    // Three instants: a quarter, half and three quarters along the track.
    // The points agree to some 30 m (0.0003 degrees); the bound of 0.003
    // degrees fails a track interpolated on one step's quintic alone (0.01
    // to 0.015 degrees off with the 3-day steps of data set 2).
    for (std::size_t k : {points.size() / 4, points.size() / 2, 3 * points.size() / 4}) {
        const TrackPoint& p = points[k];
        const double utJd = [&] {
            double j1, j2;
            eraCal2jd(p.year, p.month, p.day, &j1, &j2);
            return j1 + j2 + (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
        }();
        const long double tt = static_cast<long double>(utJd) + deltaT / 86400.0L;
        const GroundTruth g = shadowAxis(e, tt, deltaT, occulted, occultedRadiusKm);
        ASSERT_TRUE(g.exists);
        std::printf("%02d:%02d:%02d UT  tarvo %9.4f %8.4f %6.1f km %5.1f deg   DE405 %9.4f %8.4f "
                    "%6.1f km %5.1f deg\n",
                    p.hour, p.minute, p.second, p.lon, p.lat, p.width, p.altitude, g.lon, g.lat,
                    g.widthKm, g.sunAltitude);
        EXPECT_NEAR(std::remainder(p.lon - g.lon, 360.0), 0.0, 0.003) << "longitude";
        EXPECT_NEAR(p.lat - g.lat, 0.0, 0.003) << "latitude";
        EXPECT_NEAR(p.width - g.widthKm, 0.0, 2.0) << "width, km";
        EXPECT_NEAR(p.altitude - g.sunAltitude, 0.0, 0.1) << "Sun's altitude";
        EXPECT_GT(p.width * widthSign, 0.0) << "an annular eclipse has a negative width";
    }
}

TEST_F(EclipseRun, TotalEclipseOf2017AugustMatchesDe405) {
    std::string message;
    auto e = tarvo::testing::openDe405(message);
    if (!e) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    checkEclipse(*this, *e, "2017,08,15", "2017,08,25", 2457987.27L, false);
}

TEST_F(EclipseRun, AnnularEclipseOf2023OctoberMatchesDe405) {
    std::string message;
    auto e = tarvo::testing::openDe405(message);
    if (!e) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    checkEclipse(*this, *e, "2023,10,08", "2023,10,18", 2460232.25L, true);
}

TEST_F(EclipseRun, TotalEclipseOf2024AprilMatchesDe405) {
    std::string message;
    auto e = tarvo::testing::openDe405(message);
    if (!e) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    checkEclipse(*this, *e, "2024,04,02", "2024,04,12", 2460409.28L, false);
}

// Kind M: the occultation of Venus of 2020 June 19, its track against the
// shadow of the Moon in Venus's light on DE405.
TEST_F(EclipseRun, OccultationOfVenusOf2020JuneMatchesDe405) {
    std::string message;
    auto e = tarvo::testing::openDe405(message);
    if (!e) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2020,06,15\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "key M\n"
                 "expect Max Angle\n"
                 "text 1\n"
                 "expect Geogr. Window\n"
                 "text 20\n"
                 "text 2020,06,25\n"
                 "expect Display Paths (Y or N)\n"
                 "key N\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string file = userFile("MOONVENU.OCC");
    ASSERT_FALSE(file.empty());
    EXPECT_NE(file.substr(0, file.find('\n')).find("MOON      VENUS"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "SuMo0001.OCC"));
    compareTrack(file, *e, jpl::Body::Venus, 6051.8, 1);
}

// Topocentric mode (key T, the site of GEOLOC.CRD: Greenwich): the 2024
// eclipse's track only inside the window of 45 degrees around the site, at
// the spacing of 400 points a passage; SELOCC.DAT and TOPOCECL.DAT instead of
// ECLIPSES.DAT.
TEST_F(EclipseRun, TopocentricTrackStaysInsideTheWindowAroundTheSite) {
    std::string message;
    auto e = tarvo::testing::openDe405(message);
    if (!e) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,02\n"
                 "expect Space: next step\n"
                 "key T\n"
                 "expect Topocentric\n"
                 "key Y\n"
                 "key E\n"
                 "text 1\n"
                 "expect Geogr. Window\n"
                 "text 45\n"
                 "text 2024,04,12\n"
                 "key N\n"
                 "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "ECLIPSES.DAT"));
    EXPECT_NE(userFile("SELOCC.DAT").find("2024/04/08"), std::string::npos);
    double deltaT = 0;
    std::string title;
    const auto points = trackPoints(userFile("SuMo0001.OCC"), deltaT, title);
    ASSERT_GE(points.size(), 10u);
    const double siteLat = 51.477928, siteLon = -0.001545;
    for (const TrackPoint& p : points) {
        EXPECT_LE(std::fabs(p.lat - siteLat), 45.0);
        EXPECT_LE(std::cos(siteLat * kPi / 180) * std::fabs(std::remainder(p.lon - siteLon, 360.0)),
                  45.0);
    }
    // 400 points a passage of some three hours: 20 seconds apart.
    const auto seconds = [](const TrackPoint& p) {
        return p.hour * 3600 + p.minute * 60 + p.second;
    };
    EXPECT_EQ(seconds(points[1]) - seconds(points[0]), 20);
    // The track ends in the Atlantic at sunset, west of the site.
    EXPECT_LT(points.back().lon, siteLon);
}

// Y at "Display Paths": the mapper built beside tarvo runs in the working
// directory (on an empty script it lists the track files and ends) and the
// run carries on to the search's file.
TEST_F(EclipseRun, DisplayPathsStartsTheMapperAndTheRunCarriesOn) {
    if (!std::filesystem::exists(program.parent_path() / "umbravue"))
        GTEST_SKIP() << "SKIPPED LOUDLY: umbravue is not built beside " << program;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2017,08,15\n"
                 "expect Space: next step\n"
                 "key Y\n"
                 "key E\n"
                 "text 1\n"
                 "text 15\n"
                 "text 2017,08,25\n"
                 "expect Display Paths (Y or N) ?\n"
                 "key Y\n"
                 "expect Conditions of minimum geocentric angular distance\n"
                 "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "SuMo0001.OCC"));
}

// A second search lists the tracks of the first in its warning and deletes
// them on Y; on N it starts nothing and they stay.
TEST_F(EclipseRun, ASecondSearchListsTheFirstsTracksAndDeletesThemOnlyOnY) {
    const std::string eclipse = "key Enter\n"
                                "key 2\n"
                                "text 2017,08,15\n"
                                "expect Space: next step\n"
                                "key Y\n"
                                "key E\n"
                                "text 1\n"
                                "text 15\n";
    auto r = run(eclipse + "text 2017,08,25\n"
                           "key N\n"
                           "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    ASSERT_TRUE(std::filesystem::exists(root / "USERDATA" / "SuMo0001.OCC"));
    std::ofstream(root / "USERDATA" / "OLDPATH.OCC") << "kept by the user";
    // N at the list: nothing deleted, no search.
    r = run(eclipse + "expect Existing datafiles will be overwritten\n"
                      "key Y\n"
                      "expect These shadow-path files will be deleted:\n"
                      "expect OLDPATH.OCC\n"
                      "expect SuMo0001.OCC\n"
                      "key N\n"
                      "expect Space: next step\n"
                      "key Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "OLDPATH.OCC"));
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "SuMo0001.OCC"));
    // Y: the old tracks go, the new search writes its own.
    r = run(eclipse + "key Y\n"
                      "key Y\n"
                      "text 2017,08,25\n"
                      "key N\n"
                      "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "OLDPATH.OCC"));
    EXPECT_FALSE(std::filesystem::exists(root / "USERDATA" / "TMP.OCC"));
    EXPECT_TRUE(std::filesystem::exists(root / "USERDATA" / "SuMo0001.OCC"));
}

} // namespace
