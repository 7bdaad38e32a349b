// Standard JPL binary ephemeris files of both byte orders.
// Oracles: JPL's test points (testpo.405, testpo.431), the spans, record
// sizes and constants JPL publishes for each ephemeris, and the casacore
// DE405 as an independent (older) ephemeris for the DE430 excerpts.
#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris_test_data.h"

namespace jpl::testing {
namespace {

std::unique_ptr<Ephemeris> openOrFail(const std::filesystem::path& file)
{
    std::string message;
    auto e = Ephemeris::open(file, message);
    EXPECT_TRUE(e) << message;
    return e;
}

struct Excerpt {
    const char* file;
    const char* container;
    int denum;
    int words;
    double recordDays;
    double startJd, endJd;
    int constants;
};

void PrintTo(const Excerpt& excerpt, std::ostream* out) { *out << excerpt.file; }

class JplBinaryExcerpt : public ::testing::TestWithParam<Excerpt> {};

TEST_P(JplBinaryExcerpt, HeaderMatchesThePublishedLayout)
{
    const Excerpt& x = GetParam();
    const auto file = jplDataDir() / x.file;
    SKIP_UNLESS_PRESENT(file);
    auto e = openOrFail(file);
    ASSERT_TRUE(e);
    const EphemerisHeader& h = e->header();
    EXPECT_EQ(h.container, x.container);
    EXPECT_EQ(h.denum, x.denum);
    EXPECT_EQ(h.wordsPerRecord, x.words);
    EXPECT_EQ(h.recordDays, x.recordDays);
    EXPECT_EQ(h.startJd, x.startJd);
    EXPECT_EQ(h.endJd, x.endJd);
    EXPECT_EQ(static_cast<int>(h.constants.size()), x.constants);
    EXPECT_EQ(h.titles.size(), 3u);
    const double* au = h.constant("AU");
    ASSERT_TRUE(au);
    EXPECT_EQ(*au, static_cast<double>(h.auKm));
    EXPECT_EQ(*h.constant("EMRAT"), static_cast<double>(h.emrat));
    EXPECT_EQ(*h.constant("DENUM"), x.denum);
    // AU in km: 149597870.691 up to DE406, 149597870.700 (IAU 2012) since DE430.
    EXPECT_EQ(h.auKm, static_cast<long double>(x.denum >= 430 ? 149597870.700 : 149597870.691));
    // DE406 carries neither nutations nor librations; none of these files
    // carries the mantle velocity or TT-TDB.
    EXPECT_EQ(e->hasSeries(Series::Nutations), x.denum != 406);
    EXPECT_EQ(e->hasSeries(Series::Librations), x.denum != 406);
    EXPECT_FALSE(e->hasSeries(Series::LunarMantleVelocity));
    EXPECT_FALSE(e->hasSeries(Series::TtMinusTdb));
}

TEST_P(JplBinaryExcerpt, StatesArePhysicallySound)
{
    // Earth-Sun distance inside the orbit's perihelion and aphelion, the
    // Moon inside its perigee and apogee, and velocities that are the
    // derivatives of the positions (central differences over 0.002 day,
    // whose truncation error stays below 1e-11 au/day even for Mercury).
    const Excerpt& x = GetParam();
    const auto file = jplDataDir() / x.file;
    SKIP_UNLESS_PRESENT(file);
    auto e = openOrFail(file);
    ASSERT_TRUE(e);
    std::string message;
    for (long double jd = x.startJd + 0.5L; jd < x.endJd - 0.5L; jd += 7.9L) {
        StateVector earth, moon, before, after;
        ASSERT_TRUE(e->state(Body::Earth, Body::Sun, jd, earth, message)) << message;
        ASSERT_TRUE(e->state(Body::Moon, Body::Earth, jd, moon, message, LengthUnit::Kilometre)) << message;
        const double r = std::hypot(double(earth.position[0]), double(earth.position[1]), double(earth.position[2]));
        EXPECT_GT(r, 0.983);
        EXPECT_LT(r, 1.0168);
        const double d = std::hypot(double(moon.position[0]), double(moon.position[1]), double(moon.position[2]));
        EXPECT_GT(d, 356000.0);
        EXPECT_LT(d, 407000.0);
        for (Body body : {Body::Mercury, Body::Jupiter, Body::Moon, Body::Pluto}) {
            ASSERT_TRUE(e->state(body, Body::SolarSystemBarycentre, jd - 0.001L, before, message));
            ASSERT_TRUE(e->state(body, Body::SolarSystemBarycentre, jd + 0.001L, after, message));
            StateVector now;
            ASSERT_TRUE(e->state(body, Body::SolarSystemBarycentre, jd, now, message));
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(double((after.position[i] - before.position[i]) / 0.002L), double(now.velocity[i]), 1e-10)
                    << bodyName(static_cast<int>(body));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, JplBinaryExcerpt,
    ::testing::Values(Excerpt{"unxp0000.405", "JPL binary, big-endian", 405, 1018, 32, 2440368.5, 2440496.5, 156},
                      Excerpt{"unxp0001.405", "JPL binary, big-endian", 405, 1018, 32, 2440560.5, 2440688.5, 156},
                      Excerpt{"unxp0002.405", "JPL binary, big-endian", 405, 1018, 32, 2440752.5, 2440816.5, 156},
                      Excerpt{"unxp0003.405", "JPL binary, big-endian", 405, 1018, 32, 2452624.5, 2453040.5, 156},
                      Excerpt{"unxp0000.406", "JPL binary, big-endian", 406, 728, 64, 2803792.5, 2804048.5, 156},
                      Excerpt{"lnxp0000.431", "JPL binary, little-endian", 431, 1018, 32, 2451504.5, 2451696.5, 572},
                      Excerpt{"lnxp2010.430", "JPL binary, little-endian", 430, 1018, 32, 2455472.5, 2455536.5, 572},
                      Excerpt{"lnxp2016.430", "JPL binary, little-endian", 430, 1018, 32, 2457392.5, 2457456.5, 572}),
    [](const ::testing::TestParamInfo<Excerpt>& info) {
        std::string name = info.param.file;
        for (char& c : name)
            if (c == '.') c = '_';
        return name;
    });

TEST(JplBinaryDe405, BigEndianExcerptsReproduceTheTestPointsOfTheirSpans)
{
    const auto points = jplDataDir() / "testpo.405";
    SKIP_UNLESS_PRESENT(points);
    std::vector<TestPoint> list;
    std::string message;
    ASSERT_TRUE(readTestPoints(points, list, message)) << message;
    int compared = 0;
    for (const char* name : {"unxp0000.405", "unxp0001.405", "unxp0002.405", "unxp0003.405"}) {
        const auto file = jplDataDir() / name;
        if (!std::filesystem::exists(file)) continue;
        auto e = openOrFail(file);
        ASSERT_TRUE(e);
        const Agreement a = compareWithTestPoints(*e, list);
        report(name, a);
        compared += a.compared;
        EXPECT_LE(a.worstPosition, 1e-12L) << name << " line " << a.worstPositionLine;
        EXPECT_LE(a.worstVelocity, 1e-12L) << name << " line " << a.worstVelocityLine;
        EXPECT_LE(a.worstAngle, 1e-13L) << name << " line " << a.worstAngleLine;
    }
    EXPECT_GE(compared, 20);
}

TEST(JplBinaryDe431, LittleEndianExcerptReproducesItsTestPoints)
{
    const auto file = jplDataDir() / "lnxp0000.431";
    const auto points = jplDataDir() / "testpo.431";
    SKIP_UNLESS_PRESENT(file);
    SKIP_UNLESS_PRESENT(points);
    std::vector<TestPoint> list;
    std::string message;
    ASSERT_TRUE(readTestPoints(points, list, message)) << message;
    auto e = openOrFail(file);
    ASSERT_TRUE(e);
    const Agreement a = compareWithTestPoints(*e, list);
    report("lnxp0000.431", a);
    EXPECT_EQ(a.compared, 5);
    EXPECT_LE(a.worstPosition, 1e-13L) << "line " << a.worstPositionLine;
    EXPECT_LE(a.worstVelocity, 1e-13L) << "line " << a.worstVelocityLine;
}

TEST(JplBinaryDe430, AgreesWithDe405ToTheirKnownDifferences)
{
    // DE430 and DE405 differ by kilometres for the inner planets and by a
    // few thousand km for the outer ones over 2010-2016: far below 1e-4 au,
    // far above any reading fault.
    SKIP_UNLESS_PRESENT(casacoreDe405Dir() / "table.f0i");
    std::string message;
    auto de405 = Ephemeris::open(casacoreDe405Dir(), message);
    ASSERT_TRUE(de405) << message;
    for (const char* name : {"lnxp2010.430", "lnxp2016.430"}) {
        const auto file = jplDataDir() / name;
        if (!std::filesystem::exists(file)) continue;
        auto de430 = openOrFail(file);
        ASSERT_TRUE(de430);
        const long double jd = de430->header().startJd + 20.25L;
        for (int b = 1; b <= 11; ++b) {
            StateVector s430, s405;
            ASSERT_TRUE(de430->state(static_cast<Body>(b), Body::Sun, jd, s430, message)) << message;
            ASSERT_TRUE(de405->state(static_cast<Body>(b), Body::Sun, jd, s405, message)) << message;
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(double(s430.position[i]), double(s405.position[i]), b == 9 ? 1e-3 : 1e-4)
                    << name << " " << bodyName(b);
                EXPECT_NEAR(double(s430.velocity[i]), double(s405.velocity[i]), 1e-6) << name << " " << bodyName(b);
            }
        }
    }
}

}  // namespace
}  // namespace jpl::testing
