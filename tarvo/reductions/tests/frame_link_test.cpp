// The force model's frame quantities taken from the reductions' frame state.
// Oracle: the frame routine itself at J2000 and a century later, and the
// force model's own J2000 defaults.
#include <gtest/gtest.h>

#include <cmath>

#include "tarvo/dynamics/force_frame_link.h"
#include "tarvo/reductions/frames.h"

namespace tarvo {
namespace {

TEST(FrameLink, J2000FrameGivesTheForceModelDefaults) {
  FrameState frame;
  computeFrame(frame, 0.0L, FrameOptions{}, PrecessionTable{});
  const ForceFrame f = forceFrameOf(frame);
  const ForceFrame defaults;
  EXPECT_NEAR(static_cast<double>(f.cosObliquity), static_cast<double>(defaults.cosObliquity), 1e-15);
  EXPECT_NEAR(static_cast<double>(f.sinObliquity), static_cast<double>(defaults.sinObliquity), 1e-15);
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(static_cast<double>(f.sunPole[k]), static_cast<double>(defaults.sunPole[k]), 1e-6);
  }
}

TEST(FrameLink, ObliquityAndPoleFollowTheFrameEpoch) {
  FrameState frame;
  computeFrame(frame, 36525.0L, FrameOptions{}, PrecessionTable{});
  const ForceFrame f = forceFrameOf(frame);
  EXPECT_EQ(f.cosObliquity, frame.obliquity.cos);
  EXPECT_EQ(f.sinObliquity, frame.obliquity.sin);
  EXPECT_EQ(f.sunPole, frame.sunPole);
  // The obliquity decreases by about 46.8" per century.
  const long double eps = std::atan2(f.sinObliquity, f.cosObliquity) * 648000.0L / 3.14159265358979L;
  EXPECT_NEAR(static_cast<double>(eps), 84381.406 - 46.837, 0.01);
}

}  // namespace
}  // namespace tarvo
