#include "framestate/frame_state.h"

#include <cmath>

namespace tarvo {

AnglePair anglePair(long double angleRadians) {
    return {std::cos(angleRadians), std::sin(angleRadians)};
}

} // namespace tarvo
