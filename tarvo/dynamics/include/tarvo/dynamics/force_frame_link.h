// The force model's frame quantities taken from the frame state of the
// reductions (obliquity of the frame epoch and the Sun's pole in its
// equator). Header only: include it where both are at hand, after every
// computeFrame.
#pragma once

#include "tarvo/dynamics/force_model.h"
#include "tarvo/reductions/frames.h"

namespace tarvo {

inline ForceFrame forceFrameOf(const FrameState& frame) {
  ForceFrame f;
  f.cosObliquity = frame.obliquity.cos;
  f.sinObliquity = frame.obliquity.sin;
  f.sunPole = frame.sunPole;
  return f;
}

}  // namespace tarvo
