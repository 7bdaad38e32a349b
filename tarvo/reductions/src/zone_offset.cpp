// computerZoneOffsetHours: hours east of Greenwich of the computer's clock.
//
// Returned: the offset in force now, daylight saving included (from the
//           operating system's zone data rather than a month rule).

#include "tarvo/reductions/time_scales.h"

#include <ctime>

namespace tarvo {

double computerZoneOffsetHours() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return 0.0;
    return static_cast<double>(local.tm_gmtoff) / 3600.0;
}

} // namespace tarvo
