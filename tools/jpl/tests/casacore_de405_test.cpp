// The DE405 table of the casacore data package.
// Oracles: JPL's DE405 test points (testpo.405), the published DE405
// constants and pointer table, and JPL's own binary DE405 excerpt, whose
// records and header must agree word for word with the table's.
#include <gtest/gtest.h>

#include "ephemeris_test_data.h"
#include "jpl/pointer_table.h"

namespace jpl::testing {
namespace {

class CasacoreDe405 : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_UNLESS_PRESENT(casacoreDe405Dir() / "table.f0i");
        std::string message;
        ephemeris = Ephemeris::open(casacoreDe405Dir(), message);
        ASSERT_TRUE(ephemeris) << message;
    }
    std::unique_ptr<Ephemeris> ephemeris;
};

TEST_F(CasacoreDe405, HeaderHoldsThePublishedConstantsAndSpan)
{
    const EphemerisHeader& h = ephemeris->header();
    EXPECT_EQ(h.denum, 405);
    EXPECT_EQ(h.auKm, static_cast<long double>(149597870.691));
    EXPECT_EQ(h.emrat, static_cast<long double>(81.30056));
    ASSERT_TRUE(h.constant("GMS"));
    EXPECT_EQ(*h.constant("GMS"), 0.2959122082855911e-03);
    EXPECT_EQ(h.recordCount, 1143u);
    EXPECT_EQ(h.recordDays, 32.0L);
    EXPECT_EQ(h.startJd, 2400000.5L + 36912);  // MJD 36912, 1960-01-01... records of 32 days
    EXPECT_EQ(h.endJd, 2400000.5L + 36912 + 32 * 1143);
    EXPECT_EQ(h.wordsPerRecord, 1018);
    const PointerTable published = de405PointerTable();
    for (int s = 0; s < 13; ++s) {
        EXPECT_EQ(h.layout[s].pointer, published[s].pointer) << seriesName(static_cast<Series>(s));
        EXPECT_EQ(h.layout[s].coefficients, published[s].coefficients);
        EXPECT_EQ(h.layout[s].subintervals, published[s].subintervals);
    }
    EXPECT_FALSE(ephemeris->hasSeries(Series::TtMinusTdb));
}

TEST_F(CasacoreDe405, ConstantsEqualThoseOfJplsBinaryDe405)
{
    const auto file = jplDataDir() / "unxp0000.405";
    SKIP_UNLESS_PRESENT(file);
    std::string message;
    auto jplFile = Ephemeris::open(file, message);
    ASSERT_TRUE(jplFile) << message;
    int shared = 0;
    for (const NamedConstant& c : jplFile->header().constants) {
        const double* mine = ephemeris->header().constant(c.name);
        if (!mine) continue;
        EXPECT_EQ(*mine, c.value) << c.name;
        ++shared;
    }
    EXPECT_GE(shared, 100);
}

TEST_F(CasacoreDe405, RecordsEqualThoseOfJplsBinaryDe405)
{
    // The same record read from both containers must give identical series:
    // this pins the table's first record to MJD 36912.
    const auto file = jplDataDir() / "unxp0003.405";
    SKIP_UNLESS_PRESENT(file);
    std::string message;
    auto jplFile = Ephemeris::open(file, message);
    ASSERT_TRUE(jplFile) << message;
    const EphemerisHeader& h = jplFile->header();
    for (long double jd = h.startJd; jd < h.endJd; jd += 3.3L) {
        for (int s = 0; s < 13; ++s) {
            SeriesValue a, b;
            ASSERT_TRUE(jplFile->evaluate(static_cast<Series>(s), jd, a, message)) << message;
            ASSERT_TRUE(ephemeris->evaluate(static_cast<Series>(s), jd, b, message)) << message;
            for (int c = 0; c < a.components; ++c) {
                EXPECT_EQ(a.value[c], b.value[c]) << seriesName(static_cast<Series>(s)) << " at " << double(jd);
                EXPECT_EQ(a.rate[c], b.rate[c]);
            }
        }
    }
}

TEST_F(CasacoreDe405, ReproducesEveryTestPointOfItsSpan)
{
    const auto file = jplDataDir() / "testpo.405";
    SKIP_UNLESS_PRESENT(file);
    std::vector<TestPoint> points;
    std::string message;
    ASSERT_TRUE(readTestPoints(file, points, message)) << message;
    const Agreement a = compareWithTestPoints(*ephemeris, points);
    report("casacore DE405", a);
    EXPECT_GE(a.compared, 1190);  // one point a month, 1960 to 2060
    EXPECT_LE(a.worstPosition, 1e-12L) << "line " << a.worstPositionLine;
    EXPECT_LE(a.worstVelocity, 1e-12L) << "line " << a.worstVelocityLine;
    EXPECT_LE(a.worstAngle, 1e-13L) << "line " << a.worstAngleLine;
}

TEST_F(CasacoreDe405, SpanEndsAreUsableAndOutsideIsRefused)
{
    const EphemerisHeader& h = ephemeris->header();
    StateVector s;
    std::string message;
    EXPECT_TRUE(ephemeris->state(Body::Mars, Body::Sun, h.startJd, s, message)) << message;
    EXPECT_TRUE(ephemeris->state(Body::Mars, Body::Sun, h.endJd, s, message)) << message;
    EXPECT_FALSE(ephemeris->state(Body::Mars, Body::Sun, h.endJd + 0.001L, s, message));
    EXPECT_NE(message.find("outside"), std::string::npos) << message;
    EXPECT_FALSE(ephemeris->state(Body::Mars, Body::Sun, h.startJd - 0.001L, s, message));
}

TEST_F(CasacoreDe405, EarthAndMoonStraddleTheirBarycentreInTheMassRatio)
{
    // m_E r_E + m_M r_M = (m_E + m_M) r_EMB, with m_E / m_M = EMRAT.
    const long double jd = 2451545.0L;
    StateVector earth, moon, emb;
    std::string message;
    ASSERT_TRUE(ephemeris->state(Body::Earth, Body::SolarSystemBarycentre, jd, earth, message, LengthUnit::Kilometre));
    ASSERT_TRUE(ephemeris->state(Body::Moon, Body::SolarSystemBarycentre, jd, moon, message, LengthUnit::Kilometre));
    ASSERT_TRUE(ephemeris->state(Body::EarthMoonBarycentre, Body::SolarSystemBarycentre, jd, emb, message,
                                 LengthUnit::Kilometre));
    const long double mu = ephemeris->header().emrat;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(double((mu * earth.position[i] + moon.position[i]) / (mu + 1)), double(emb.position[i]), 1e-6);
        EXPECT_NEAR(double((mu * earth.velocity[i] + moon.velocity[i]) / (mu + 1)), double(emb.velocity[i]), 1e-9);
    }
    const long double d = std::hypot(double(moon.position[0] - earth.position[0]),
                                     double(moon.position[1] - earth.position[1]),
                                     double(moon.position[2] - earth.position[2]));
    EXPECT_GT(d, 356000.0L);
    EXPECT_LT(d, 407000.0L);
}

}  // namespace
}  // namespace jpl::testing
