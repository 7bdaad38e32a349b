// Records beyond the ephemeris come from the data set's own model. Built
// beyond a short span that the ephemeris still covers, they can be checked
// against it (oracle: the JPL ephemeris).
#include <gtest/gtest.h>

#include <cmath>

#include "datasets/data_set_factory.h"
#include "short_tree.h"

namespace datasets {
namespace {

double distanceKm(const BodyState& a, const BodyState& b)
{
    long double s = 0;
    for (int k = 0; k < 3; ++k) s += (a.position[k] - b.position[k]) * (a.position[k] - b.position[k]);
    return static_cast<double>(std::sqrt(s) * 1e6L);
}

TEST(ExtendedRecords, FollowTheEphemerisForAYearBeyondEachEnd)
{
    if (!testing::sourcesInstalled()) GTEST_SKIP() << "casacore-data-jpl-de405 or kstars-data is not installed";
    SourceOptions options = testing::shortSpan();
    options.extendYears = 1;
    options.extendRecordDays = 100;
    options.radialFit.years = 0;  // the test's few-month fit would only add its own noise
    DataSetFactory factory(options);
    DataSetContents c;
    std::string message;
    ASSERT_TRUE(factory.contents(3, c, message)) << message;
    // 11 records of the span, then multiples of 100 days up to a year beyond each end.
    ASSERT_EQ(c.epochs.front(), 7900);
    ASSERT_EQ(c.epochs.back(), 8600);
    for (std::size_t n = 1; n < c.epochs.size(); ++n) ASSERT_LT(c.epochs[n - 1], c.epochs[n]);
    auto source = PlanetarySource::open(defaultEphemerisPath, message);
    ASSERT_TRUE(source) << message;
    for (std::size_t n : {std::size_t{0}, c.epochs.size() - 1}) {
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            BodyState jpl;
            ASSERT_TRUE(source->state(c.blocks[b], c.epochs[n], jpl, message)) << message;
            // The figures of the accuracy report after one year.
            const double allowed = c.blocks[b].jplNumber == 1 ? 3.0 : c.blocks[b].kind == BodyKind::moon ? 0.3 : 2.0;
            EXPECT_LT(distanceKm(c.states[n][b], jpl), allowed) << c.blocks[b].name << " at day " << c.epochs[n];
        }
    }
}

// The spacing widens outward and every epoch is a whole multiple of its own
// spacing, so that the records of two builds of different spans agree.
TEST(ExtendedRecords, SpacingWidensAwayFromTheEphemerisAndTheEndIsCovered)
{
    EXPECT_EQ(extensionSpacingDays(0, 100), 100);
    EXPECT_EQ(extensionSpacingDays(99.9L, 100), 100);
    EXPECT_EQ(extensionSpacingDays(100, 100), 200);
    EXPECT_EQ(extensionSpacingDays(699, 100), 400);
    EXPECT_EQ(extensionSpacingDays(1500, 100), 1600);
    EXPECT_EQ(extensionSpacingDays(9000, 100), 1600);

    // Backward from day -14600 (1960) to the first day of -3000.
    const long double t0 = -14600, reach = t0 - yearStartDay(-3000);
    const std::vector<std::int32_t> back = extensionEpochs(t0, -1, reach, 100, true);
    ASSERT_FALSE(back.empty());
    EXPECT_LE(back.back(), yearStartDay(-3000));
    EXPECT_GT(back[back.size() - 2], yearStartDay(-3000));
    long double previous = t0;
    for (std::int32_t t : back) {
        const long double gap = previous - t;
        EXPECT_GT(gap, 0) << t;
        EXPECT_LE(gap, extensionSpacingDays((t0 - t) / 365.25L, 100)) << t;
        EXPECT_EQ(std::fmod(static_cast<long double>(t), extensionSpacingDays((t0 - previous) / 365.25L, 100)), 0)
            << t;
        previous = t;
    }
    // Some 2250 records for five millennia instead of 18000 at a constant 100 days.
    EXPECT_LT(back.size(), 2400u);
    EXPECT_GT(back.size(), 2000u);

    // Without coverEnd the reach is never passed.
    const std::vector<std::int32_t> within = extensionEpochs(36500, 1, 365.25L, 100, false);
    ASSERT_EQ(within.size(), 3u);
    EXPECT_EQ(within.front(), 36600);
    EXPECT_EQ(within.back(), 36800);
}

// Two-body motion of the minor perturbers far from the ephemeris: energy and
// angular momentum kept, a whole period returns to the start, and the motion
// reverses (oracle: the two-body integrals).
TEST(ExtendedRecords, KeplerMotionKeepsItsIntegrals)
{
    const long double mu = 1.32712440018e11L;  // km^3/s^2
    BodyState ceres;  // an eccentric, inclined orbit near 2.8 AU
    ceres.position = {380.0L, -120.0L, 60.0L};
    ceres.velocity = {5.0L, 16.0L, 4.0L};
    const auto energy = [&](const BodyState& s) {
        long double r = 0, v = 0;
        for (int k = 0; k < 3; ++k) r += s.position[k] * s.position[k] * 1e12L, v += s.velocity[k] * s.velocity[k];
        return v / 2 - mu / std::sqrt(r);
    };
    const auto momentum = [&](const BodyState& s, int k) {
        const int a = (k + 1) % 3, b = (k + 2) % 3;
        return (s.position[a] * s.velocity[b] - s.position[b] * s.velocity[a]) * 1e6L;
    };
    const long double year = 365.25L * 86400;
    for (long double dt : {0.3L * year, -1234.5L * year, 2500.0L * year}) {
        const BodyState later = keplerPropagate(ceres, dt, mu);
        EXPECT_NEAR(static_cast<double>(energy(later) / energy(ceres)), 1.0, 1e-12) << dt;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(static_cast<double>(momentum(later, k)), static_cast<double>(momentum(ceres, k)),
                        1e-9 * std::fabs(static_cast<double>(momentum(ceres, 2))))
                << dt;
        const BodyState back = keplerPropagate(later, -dt, mu);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(back.position[k]), static_cast<double>(ceres.position[k]), 1e-6) << dt;
    }
    // A whole period later (a from the vis-viva equation) it is back.
    long double r = 0, v = 0;
    for (int k = 0; k < 3; ++k) r += ceres.position[k] * ceres.position[k] * 1e12L, v += ceres.velocity[k] * ceres.velocity[k];
    const long double a = 1 / (2 / std::sqrt(r) - v / mu);
    const long double period = 2 * std::acos(-1.0L) * std::sqrt(a * a * a / mu);
    const BodyState round = keplerPropagate(ceres, 3 * period + 1, mu);
    const BodyState oneSecond = keplerPropagate(ceres, 1, mu);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(static_cast<double>(round.position[k]), static_cast<double>(oneSecond.position[k]), 1e-6);
}

}  // namespace
}  // namespace datasets
