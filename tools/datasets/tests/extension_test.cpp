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

}  // namespace
}  // namespace datasets
