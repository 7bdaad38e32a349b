// The ephemeris page of a whole run in the 1980 nutation model (key N once
// from the IAU default) against an independent reduction: tarvo driven by a
// key script (data set 2, decimal units) shows the apparent geocentric right
// ascension and declination of date; the oracle is JPL
// DE405 with the light-time equation iterated, ERFA's relativistic
// aberration (eraAb), IAU 2006 precession (eraBp06, no frame bias) and IAU
// 1980 nutation (eraNut80) with the IAU 2006 mean obliquity — the models
// the page uses (its nutation is the 63-term form of the 1980 theory).  No
// light deflection on either side.  The IAU model's own test is
// page_iau_accuracy_e2e_test.cpp.
#include "program_runner.h"

#include "../../reductions/tests/apparent_place_oracle.h"
#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <sstream>
#include <vector>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kArcsec = std::numbers::pi / 648000.0;

struct PagePlace {
    double ra = 0, dec = 0, distanceAu = 0; // radians, AU
};

// The last ephemeris page of the transcript (decimal units): name -> place.
std::map<std::string, PagePlace> lastPage(const std::string& transcript, std::string& timeLine) {
    const std::size_t header = transcript.rfind("RA (deg)");
    std::map<std::string, PagePlace> places;
    if (header == std::string::npos) return places;
    const std::size_t screen = transcript.rfind("=== screen", header);
    std::istringstream in(
        transcript.substr(screen, transcript.find("=== screen", header) - screen));
    std::string line;
    bool table = false;
    while (std::getline(in, line)) {
        if (line.rfind("UT:", 0) == 0 || line.rfind("TT:", 0) == 0) timeLine = line;
        if (line.find("RA (deg)") != std::string::npos) {
            table = true;
            continue;
        }
        if (!table || line.size() < 10) continue;
        std::istringstream fields(line.substr(10));
        PagePlace p;
        if (fields >> p.ra >> p.dec >> p.distanceAu) {
            std::string name = line.substr(0, 9);
            name.erase(name.find_last_not_of(' ') + 1);
            places[name] = {p.ra * kDegree, p.dec * kDegree, p.distanceAu};
        }
    }
    return places;
}

class PageAccuracy : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }

    // Compares the page's places with the oracle at the TT Julian date jdTT.
    void compare(const std::map<std::string, PagePlace>& page, long double jdTT,
                 const char* label) {
        std::string message;
        auto ephemeris = tarvo::testing::openDe405(message);
        if (!ephemeris) GTEST_SKIP() << message;
        const std::pair<const char*, jpl::Body> bodies[] = {{"SUN", jpl::Body::Sun},
                                                            {"MOON", jpl::Body::Moon},
                                                            {"MARS", jpl::Body::Mars},
                                                            {"JUPITER", jpl::Body::Jupiter}};
        for (const auto& [name, body] : bodies) {
            SCOPED_TRACE(std::string(label) + " " + name);
            const auto shown = page.find(name);
            ASSERT_NE(shown, page.end()) << "no row for " << name;
            const auto oracle = tarvo::testing::apparentRaDecOfDate(*ephemeris, body, jdTT);
            ASSERT_TRUE(oracle.has_value());
            const double separation = eraSeps(shown->second.ra, shown->second.dec,
                                              oracle->rightAscension, oracle->declination) /
                                      kArcsec;
            const double dRa =
                std::remainder(shown->second.ra - oracle->rightAscension, 2 * std::numbers::pi) *
                std::cos(oracle->declination) / kArcsec;
            const double dDec = (shown->second.dec - oracle->declination) / kArcsec;
            std::printf("%s %-8s dRA cos(dec) %+8.4f\"  dDec %+8.4f\"  separation %7.4f\"\n", label,
                        name, dRa, dDec, separation);
            EXPECT_LT(separation, 0.05);
        }
    }
};

// 2024 April 8, 18:00 UT (Delta-T automatic: TT = UT + the program's ΔT).
TEST_F(PageAccuracy, ApparentPlacesOfTheEclipseDayMatchErfaAndDe405) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,08.75\n"
                 "expect Space: next step\n"
                 "key M\n"
                 "key N\n"
                 "expect RA (deg)\n"
                 "expect UT:   2024/04/08: 18:00:00.0\n"
                 "expect - Apparent Coordinates -    1980 nutation\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    std::string timeLine;
    const auto page = lastPage(transcript(), timeLine);
    // The instant the program started from: the typed UT made TT with its ΔT.
    const long double tUT = 2460409.25L - tarvo::kJulianDateJ2000;
    tarvo::DeltaTTable observed;
    std::string message;
    ASSERT_TRUE(tarvo::loadDeltaTTable(root / "ASC/DELTAT.TAB", observed, message)) << message;
    tarvo::DeltaTSettings auto_;
    auto_.observed = &observed;
    const long double tTT = tarvo::universalToTerrestrial(tUT, auto_);
    // The page says the same ΔT (to its 0.1 s).
    const std::size_t at = timeLine.find("DeltaT =");
    ASSERT_NE(at, std::string::npos) << timeLine;
    EXPECT_NEAR(std::stod(timeLine.substr(at + 8)), static_cast<double>((tTT - tUT) * 86400.0L),
                0.051);
    compare(page, tTT + tarvo::kJulianDateJ2000, "2024-04-08 18:00 UT");
}

// 2000 January 1, 12:00 TT: Delta-T off, then a jump to the instant.
TEST_F(PageAccuracy, ApparentPlacesAtJ2000MatchErfaAndDe405) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,01.5\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key D\n"
                 "key Esc\n"
                 "expect D   Delta-T        Off\n"
                 "key J\n"
                 "text 2000,01,01.5\n"
                 "expect TT:   2000/01/01: 12:00:00.0\n"
                 "key M\n"
                 "key N\n"
                 "expect RA (deg)\n"
                 "expect 1980 nutation\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    std::string timeLine;
    const auto page = lastPage(transcript(), timeLine);
    EXPECT_EQ(timeLine.find("DeltaT"), std::string::npos) << timeLine;
    compare(page, 2451545.0L, "2000-01-01 12:00 TT");
}

// The elements page (key X) of the same run: the Earth's osculating
// semi-major axis and eccentricity against the two-body elements of DE405's
// heliocentric Earth (vis-viva and the Laplace vector, μ = k² (1 + m⊕/m☉)).
TEST_F(PageAccuracy, ElementsPageEarthMatchesTheTwoBodyElementsOfDe405) {
    std::string message;
    auto ephemeris = tarvo::testing::openDe405(message);
    if (!ephemeris) GTEST_SKIP() << message;
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,01.5\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key D\n"
                 "key Esc\n"
                 "key X\n"
                 "key J\n"
                 "text 2000,01,01.5\n"
                 "expect Osculating Elements (J2000.0) at JD 2451545.000000\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string text = transcript();
    const std::size_t at = text.find("\nEARTH ", text.rfind("Osculating Elements"));
    ASSERT_NE(at, std::string::npos);
    std::istringstream fields(text.substr(at + 10, 120));
    double e, i, w, node, a;
    ASSERT_TRUE(fields >> e >> i >> w >> node >> a);
    jpl::StateVector sv;
    ASSERT_TRUE(ephemeris->state(jpl::Body::Earth, jpl::Body::Sun, 2451545.0L, sv, message,
                                 jpl::LengthUnit::AstronomicalUnit))
        << message;
    const double k = 0.01720209895, massRatio = 1.0 / 332946.05; // Earth without the Moon
    const double mu = k * k * (1 + massRatio);
    double p[3], v[3];
    for (int c = 0; c < 3; ++c)
        p[c] = static_cast<double>(sv.position[c]), v[c] = static_cast<double>(sv.velocity[c]);
    const double rr = std::sqrt(eraPdp(p, p)), v2 = eraPdp(v, v), rv = eraPdp(p, v);
    const double aOracle = 1.0 / (2.0 / rr - v2 / mu);
    double ev[3];
    for (int c = 0; c < 3; ++c) ev[c] = ((v2 - mu / rr) * p[c] - rv * v[c]) / mu;
    const double eOracle = std::sqrt(eraPdp(ev, ev));
    std::printf("EARTH a %.8f (oracle %.8f)  e %.8f (oracle %.8f)\n", a, aOracle, e, eOracle);
    EXPECT_NEAR(a, aOracle, 2e-7);
    EXPECT_NEAR(e, eOracle, 2e-7);
}

// File output while the elements page is shown: element records (three
// header lines, then one line per step) in the bodies' files, no OUTPUT.LOG;
// Mars' semi-major axis near its 1.5236 AU.
TEST_F(PageAccuracy, ElementRecordsGoToTheBodiesFiles) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2024,04,08.75\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key X\n"
                 "key F\n"
                 "key Y\n"
                 "text 2\n"
                 "key J\n"
                 "expect Osculating Elements\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const auto work = root / "USERDATA";
    EXPECT_FALSE(std::filesystem::exists(work / "OUTPUT.LOG"));
    std::istringstream mars(tarvo::testing::readFile(work / "MARS.OUT"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(mars, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u + 2u);
    EXPECT_NE(lines[0].find("Osculating Elements (J2000.0)"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("MARS"), std::string::npos) << lines[0];
    for (std::size_t k = 3; k < lines.size(); ++k) {
        std::istringstream fields(lines[k]);
        double jd, e, i, w, node, a;
        ASSERT_TRUE(fields >> jd >> e >> i >> w >> node >> a) << lines[k];
        // The elements' epoch is TT: the typed UT plus Delta-T (about 69 s in 2024).
        const double ut = 2460409.25 + 3.0 * static_cast<double>(k - 3);
        EXPECT_NEAR((jd - ut) * 86400.0, 71.0, 4.0) << lines[k];
        EXPECT_NEAR(a, 1.5236, 2e-4);
        EXPECT_NEAR(e, 0.0933, 2e-4);
    }
}

} // namespace
