// The min/max/zero search run as a user runs it, by key script (data set
// 2, key I), against DE405 read directly: the directions are the rigorous
// apparent ones (light time, aberration) turned into the mean ecliptic of
// date by ERFA's IAU 2006 matrix.
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

using tarvo::testing::openDe405;
using tarvo::testing::rigorousApparentDirection;

class MinMaxZeroRun : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    std::string userFile(const char* name) const {
        return tarvo::testing::readFile(root / "USERDATA" / name);
    }
};

// Apparent geocentric ecliptic longitude and latitude of date (radians).
void eclipticOfDate(jpl::Ephemeris& e, jpl::Body body, long double jd, double& lon, double& lat) {
    const auto u = rigorousApparentDirection(e, body, jd);
    ASSERT_TRUE(u.has_value());
    double rm[3][3], p[3] = {(*u)[0], (*u)[1], (*u)[2]}, q[3];
    eraEcm06(2451545.0, static_cast<double>(jd - 2451545.0L), rm);
    eraRxp(rm, p, q);
    lon = std::atan2(q[1], q[0]);
    lat = std::asin(q[2] / std::sqrt(eraPdp(q, q)));
}

struct Record {
    int index = 0;
    double jd2000 = 0;
    std::string kind; // "Max", "Mi" or ""
    double lat = 0, lon = 0;
    std::string name;
};

std::vector<Record> records(const std::string& file) {
    std::vector<Record> out;
    std::istringstream in(file);
    std::string line;
    std::getline(in, line); // status line
    std::getline(in, line); // column header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Record r;
        std::string date, time, word;
        if (!(fields >> r.index >> r.jd2000 >> date >> time >> word)) continue;
        if (word == "Max" || word == "Mi") {
            r.kind = word;
            fields >> r.lat;
        } else {
            r.lat = std::stod(word);
        }
        fields >> r.lon >> r.name;
        out.push_back(r);
    }
    return out;
}

std::string search(char mode, const char* body, const char* from, const char* to) {
    return std::string("key Enter\nkey 2\ntext ") + from +
           "\nexpect Space: next step\nkey E\nkey I\nexpect S = Stationary\nkey " + mode +
           "\nexpect of Selected body\ntext " + body + "\ntext " + to +
           "\n"
           // A key other than Esc is no interruption: the viewer takes it.
           "key Space\nkey Esc\nkey Esc\nkey Esc\nkey Esc\nkey Esc\n";
}

// Every crossing of the ecliptic by the Moon in 2024, against the zeros of
// its apparent latitude in DE405.
TEST_F(MinMaxZeroRun, NodeCrossingsOfTheMoonIn2024MatchDe405) {
    std::string message;
    auto de405 = openDe405(message);
    if (!de405) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run(search('0', "MOON", "2024,01,01", "2025,01,01"));
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string file = userFile("ZEROLAT.DAT");
    EXPECT_EQ(file.rfind("Ref. Equinox: Date; Nutation: ON; Aberration: ON; Light Time: ON   "
                         "Lat (°)  Lon\r\nTT   #         JD2000          Date       \r\n",
                         0),
              0u)
        << file;
    const auto events = records(file);
    ASSERT_EQ(events.size(), 27u) << file; // one every 13.6 days
    double worst = 0, sum = 0;
    for (const Record& ev : events) {
        EXPECT_EQ(ev.name, "MOON");
        EXPECT_EQ(ev.kind, "");
        long double a = ev.jd2000 + 2451545.0L - 0.05L, b = a + 0.1L;
        double lon = 0, la = 0, lb = 0;
        eclipticOfDate(*de405, jpl::Body::Moon, a, lon, la);
        eclipticOfDate(*de405, jpl::Body::Moon, b, lon, lb);
        ASSERT_LT(la * lb, 0.0) << "no crossing near JD2000 " << ev.jd2000;
        while (b - a > 1e-9L) {
            const long double m = (a + b) / 2;
            double lm = 0;
            eclipticOfDate(*de405, jpl::Body::Moon, m, lon, lm);
            (lm * la > 0 ? a : b) = m;
        }
        const double seconds = static_cast<double>(ev.jd2000 + 2451545.0L - (a + b) / 2) * 86400;
        worst = std::max(worst, std::fabs(seconds));
        sum += std::fabs(seconds);
        // The JD2000 column resolves 0.86 s (0.43 s of rounding).
        EXPECT_NEAR(seconds, 0.0, 1.5) << "crossing at JD2000 " << ev.jd2000;
        // Longitudes of the true equinox (the principal nutation term).
        double dpsi = 0, deps = 0;
        eraNut06a(2451545.0, (a + b) / 2 - 2451545.0L, &dpsi, &deps);
        EXPECT_NEAR(std::remainder((lon + dpsi) * 180 / M_PI - ev.lon, 360.0), 0.0, 1e-3);
    }
    EXPECT_LT(sum / static_cast<double>(events.size()), 0.6) << "seconds, mean";
    std::printf("Moon's node crossings of 2024: %zu, mean %.3f s, worst %.3f s from DE405\n",
                events.size(), sum / static_cast<double>(events.size()), worst);
}

// The two stationary points of Mars of 2020 (September, November), against
// the extrema of its apparent longitude in DE405.
TEST_F(MinMaxZeroRun, StationaryPointsOfMarsIn2020MatchDe405) {
    std::string message;
    auto de405 = openDe405(message);
    if (!de405) GTEST_SKIP() << "SKIPPED LOUDLY: " << message;
    auto r = run(search('S', "MARS", "2020,01,01", "2021,01,01"));
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const auto events = records(userFile("MAXMILON.DAT"));
    ASSERT_EQ(events.size(), 2u) << userFile("MAXMILON.DAT");
    for (const Record& ev : events) {
        // The longitude's extremum by golden section, maximum or minimum.
        const double sign = ev.kind == "Max" ? -1 : 1;
        auto f = [&](long double jd) {
            double lon = 0, lat = 0;
            eclipticOfDate(*de405, jpl::Body::Mars, jd, lon, lat);
            return sign * lon;
        };
        long double a = ev.jd2000 + 2451545.0L - 3, b = a + 6;
        const long double g = (std::sqrt(5.0L) - 1) / 2;
        while (b - a > 1e-6L) {
            const long double c = b - g * (b - a), d = a + g * (b - a);
            (f(c) < f(d) ? b : a) = f(c) < f(d) ? d : c;
        }
        const double minutes = static_cast<double>(ev.jd2000 + 2451545.0L - (a + b) / 2) * 1440;
        std::printf("Mars stationary (%s) at JD2000 %.5f: %.2f min from DE405\n", ev.kind.c_str(),
                    ev.jd2000, minutes);
        EXPECT_NEAR(minutes, 0.0, 2.0);
    }
    EXPECT_EQ(events[0].kind, "Max"); // the longitude turns back in September
    EXPECT_EQ(events[1].kind, "Mi");
}

// An existing file is kept when the user says N at the warning; a body
// that is not in the table is asked again.
TEST_F(MinMaxZeroRun, OverwriteWarningKeepsTheFileAndUnknownBodiesAreAskedAgain) {
    std::ofstream(root / "USERDATA" / "MAXMILAT.DAT", std::ios::binary) << "keep me\r\n";
    auto r = run("key Enter\nkey 2\ntext 2020,01,01\nexpect Space: next step\n"
                 "key I\nkey M\nexpect of Selected body\ntext NOSUCHBODY\n"
                 "expect No such body: NOSUCHBODY\nkey Space\ntext MARS\n"
                 "expect Existing datafiles will be overwritten\nkey N\n"
                 "expect Space: next step\nkey Esc\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(userFile("MAXMILAT.DAT"), "keep me\r\n");
}

} // namespace
