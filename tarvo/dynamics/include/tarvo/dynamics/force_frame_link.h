// The force model's frame quantities taken from the frame state
// (obliquity of the frame epoch and the Sun's pole in its equator). Call it
// after every computeFrame.
#pragma once

#include "tarvo/dynamics/force_model.h"
#include "framestate/frame_state.h"

namespace tarvo {

inline ForceFrame forceFrameOf(const FrameState& frame) {
  ForceFrame f;
  f.cosObliquity = frame.obliquity.cos;
  f.sinObliquity = frame.obliquity.sin;
  f.sunPole = frame.sunPole;
  return f;
}

}  // namespace tarvo
