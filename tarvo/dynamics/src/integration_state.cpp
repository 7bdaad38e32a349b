// Integration state helpers: constants derived from a loaded state and the
// mapping of the order option.
#include "tarvo/dynamics/integration_state.h"

#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

DerivedConstants deriveConstants(const BodyTable& table) {
  DerivedConstants d;
  d.muSun = gravitationalConstant * table.mass[0];
  const int e = table.layout.earthIndex;
  d.muEarth = gravitationalConstant * table.mass[e];
  d.relativistic = 6.0L * gravitationalConstant * table.mass[0] /
                   (speedOfLight * speedOfLight);
  return d;
}

void advanceEpoch(IntegrationState& state, long double dt) {
  const long double y = dt - state.epochCarry;
  const long double t = state.epoch + y;
  state.epochCarry = (t - state.epoch) - y;
  state.epoch = t;
}

int orderCodeFromOption(int optionValue) {
  switch (optionValue) {
    case 0: return 6;
    case 1: return 8;
    default: return 7;
  }
}

}  // namespace tarvo
