// Reading JPL test-point files; the oracle is the files' own published
// contents (7214 points in testpo.405, 5 in testpo.431).
#include <gtest/gtest.h>

#include "ephemeris_test_data.h"

namespace jpl::testing {
namespace {

TEST(TestPointFile, De405FileWithHeaderAndCrLf)
{
    const auto file = jplDataDir() / "testpo.405";
    SKIP_UNLESS_PRESENT(file);
    std::vector<TestPoint> points;
    std::string message;
    ASSERT_TRUE(readTestPoints(file, points, message)) << message;
    ASSERT_EQ(points.size(), 7214u);
    const TestPoint& first = points.front();
    EXPECT_EQ(first.denum, 405);
    EXPECT_EQ(first.date, "1600.01.01");
    EXPECT_EQ(first.jd, 2305447.5L);
    EXPECT_EQ(first.target, 8);
    EXPECT_EQ(first.centre, 3);
    EXPECT_EQ(first.component, 1);
    EXPECT_EQ(first.value, -26.3227808794400L);
    EXPECT_EQ(first.line, 7);
    EXPECT_EQ(points.back().date, "2201.02.01");
}

TEST(TestPointFile, De431FileWithoutHeader)
{
    const auto file = jplDataDir() / "testpo.431";
    SKIP_UNLESS_PRESENT(file);
    std::vector<TestPoint> points;
    std::string message;
    ASSERT_TRUE(readTestPoints(file, points, message)) << message;
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[0].line, 1);
    EXPECT_EQ(points[4].target, 8);
    EXPECT_EQ(points[4].centre, 4);
    EXPECT_EQ(points[4].component, 6);
    EXPECT_EQ(points[4].value, -0.00361089614984607300L);
}

}  // namespace
}  // namespace jpl::testing
