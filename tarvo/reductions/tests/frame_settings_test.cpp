// Frame settings: the rules that tie nutation, precession and the reference
// year together, and the epoch of a reference year.  Oracle: the rules as
// stated for the keys, and calendarToDays.

#include "tarvo/reductions/frame_settings.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvo;

TEST(FrameSettings, Labels) {
    EXPECT_EQ(precessionStateLabel(PrecessionState::Off), "Off");
    EXPECT_EQ(precessionStateLabel(PrecessionState::On), "On");
    EXPECT_EQ(precessionStateLabel(PrecessionState::Lieske), "L76");
}

TEST(FrameSettings, NutationPrecessionAndReferenceYearRules) {
    FrameSettings s;
    setPrecession(s, PrecessionState::Off);
    setReferenceYear(s, 1950.0);
    setNutation(s, true); // forces precession on and the equinox of date
    EXPECT_EQ(s.precession, PrecessionState::On);
    EXPECT_EQ(s.referenceYear, 0.0);
    EXPECT_TRUE(s.nutation);
    setReferenceYear(s, 1950.0); // a year turns nutation off
    EXPECT_FALSE(s.nutation);
    setNutation(s, true);
    setPrecession(s, PrecessionState::Off); // precession off forces nutation off
    EXPECT_FALSE(s.nutation);
}

TEST(FrameSettings, ReferenceYearEpoch) {
    EXPECT_EQ(referenceYearEpoch(2000.0), -0.5L); // 2000 January 1.0
    EXPECT_EQ(referenceYearEpoch(1950.5), calendarToDays(1950, 1, 1) + 365.25L * 0.5L);
    EXPECT_EQ(referenceYearEpoch(-500.25), calendarToDays(-501, 1, 1) + 365.25L * 0.75L);
    FrameSettings s;
    EXPECT_EQ(frameEpochFor(s, 1234.5L), 1234.5L);
    setReferenceYear(s, 2000.0);
    EXPECT_EQ(frameEpochFor(s, 1234.5L), -0.5L);
}

TEST(FrameSettings, OptionsOfComputeFrame) {
    FrameSettings s;
    setNutation(s, true);
    FrameOptions o = frameOptionsFor(s, false, false);
    EXPECT_TRUE(o.principalNutation);
    EXPECT_FALSE(o.fullNutation);
    o = frameOptionsFor(s, true, false);
    EXPECT_TRUE(o.fullNutation);
    setPrecession(s, PrecessionState::Lieske);
    EXPECT_FALSE(frameOptionsFor(s, false, false).lieske); // not permitted
    EXPECT_TRUE(frameOptionsFor(s, false, true).lieske);
    s.skipRotations = true;
    EXPECT_TRUE(frameOptionsFor(s, false, true).skipRotations);
}

} // namespace
