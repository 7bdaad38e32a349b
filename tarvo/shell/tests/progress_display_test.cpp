// The progress display's figures: clamped, never dividing by zero.
#include "tarvo/shell/progress_display.h"

#include <gtest/gtest.h>

#include <limits>

using tarvo::progressFigures;

TEST(ProgressDisplay, FiguresFollowTheCoveredFraction) {
    auto half = progressFigures(5.0L, 10.0L);
    EXPECT_EQ(half.bar, 27);
    EXPECT_EQ(half.percent, 50);
    auto back = progressFigures(-2.5L, -10.0L); // backward jumps count alike
    EXPECT_EQ(back.percent, 25);
    EXPECT_EQ(progressFigures(10.0L, 10.0L).bar, 54);
}

TEST(ProgressDisplay, FiguresAreClampedAndZeroSpansAreComplete) {
    EXPECT_EQ(progressFigures(20.0L, 10.0L).percent, 100); // overshoot by the last step
    EXPECT_EQ(progressFigures(20.0L, 10.0L).bar, 54);
    auto zero = progressFigures(0.0L, 0.0L);
    EXPECT_EQ(zero.percent, 100);
    EXPECT_EQ(zero.bar, 54);
    auto nan = progressFigures(std::numeric_limits<long double>::quiet_NaN(), 1.0L);
    EXPECT_GE(nan.percent, 0);
    EXPECT_LE(nan.percent, 100);
}

TEST(ProgressDisplay, TimeLeftInHoursAndMinutes) {
    EXPECT_EQ(tarvo::timeLeftText(12.25), "Time left:     0 h 12.2 m");
    EXPECT_EQ(tarvo::timeLeftText(133.0), "Time left:     2 h 13 m");
    EXPECT_EQ(tarvo::timeLeftText(-5.0), "Time left:     0 h  0.0 m");
    EXPECT_EQ(tarvo::timeLeftText(std::numeric_limits<double>::infinity()),
              "Time left:     0 h  0.0 m");
}
